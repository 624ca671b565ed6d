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
// Nothing runs: search once more and let the user read why, in a box titled with the launch script's DESC.
FIND_JVM 1 1
:DONE
/:
