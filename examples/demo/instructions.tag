DESC: Norvane demo instructions
INSTRUCTIONS:
// Show the window, take a jump through a variable, and end.
INITIALIZE_UI
SET S2 = SKIP
SET N1 = 0
JMP0 @N1@ @S2@
GOTO END
:SKIP
SET S1 = "reached the end"
:END
/:
