// Run by the launcher with a candidate JVM to prove what it is: prints the
// identification value, then the value of each system property named on the
// command line, one a line, in the order given (null for one not set).
public final class Verify {
    private static final int IDENTIFICATION = 1739021872;

    private Verify() {
    }

    public static void main(String[] args) {
        System.out.println(IDENTIFICATION);
        for (String name : args) {
            System.out.println(System.getProperty(name));
        }
        System.out.flush();
    }
}
