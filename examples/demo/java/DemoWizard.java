package demo;

/** The demo launcher file's wizard: says where it runs and what it was given. */
public final class DemoWizard {
    private DemoWizard() {
    }

    public static void main(String[] args) {
        System.out.println("Norvane demo wizard running on Java " + System.getProperty("java.version")
                + " with temp.dir=" + System.getProperty("temp.dir"));
        System.out.println("arguments: " + String.join(" ", args));
        System.out.println("class path: " + System.getProperty("java.class.path"));
        System.err.println("demo wizard: done");
    }
}
