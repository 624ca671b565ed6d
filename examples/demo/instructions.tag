DESC: Norvane demo instructions
INSTRUCTIONS:
// The launcher's own program: install the carried JVM and, if that worked, launch the wizard with it.
INITIALIZE_UI
INSTALL_JVM 1
JMP0 @N1@ DO_INSTALL_ELSE
LAUNCH @S1@ 0
GOTO DO_INSTALL_DONE
:DO_INSTALL_ELSE
:DO_INSTALL_DONE
/:
