DESC: Hello App instructions
INSTRUCTIONS:
// Install the carried JVM into a temporary directory; launch the jar with it if that worked.
INITIALIZE_UI
INSTALL_JVM 1
JMP0 @N1@ NO_JVM
LAUNCH @S1@ 0
:NO_JVM
/:
