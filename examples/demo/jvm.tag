DESC: Any Java 8 or later
JVM_EXE: bin\java.exe
PATH_HINT:
\jre
/:
