DESC: Hello App instructions
INSTRUCTIONS:
// Prefer an installed Java 17 (java17.jvm says where to look); install the carried one when none passes.
INITIALIZE_UI
FIND_JVM 1 0
JMP0 @N1@ INSTALL
// S2 is the JVM file written for the Java found.
LAUNCH @S2@ 0
GOTO DONE
:INSTALL
INSTALL_JVM 1
JMP0 @N1@ FAILED
LAUNCH @S1@ 0
GOTO DONE
:FAILED
// Nothing runs: tell the user why, in a box titled with the launch script's DESC, and end with a code of our own.
MESSAGE "Hello App needs Java 17; install it, or start setup.exe with -nv:javahome and the folder of a Java 17."
EXIT 3
:DONE
/:
