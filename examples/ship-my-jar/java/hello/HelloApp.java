package hello;

/** The application that setup.exe ships: says which Java runs it and who started it. */
public final class HelloApp {
    private HelloApp() {
    }

    public static void main(String[] args) {
        System.out.println("Hello App on Java " + System.getProperty("java.version")
                + ", started by " + System.getProperty("hello.launcher"));
        System.out.println("arguments: " + String.join(" ", args));
    }
}
