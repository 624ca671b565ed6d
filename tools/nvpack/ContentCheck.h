#pragma once
// Reads the tag files a request packs (instructions, JVM files, the launch
// script) with the launcher's own readers, so that what would fail at run
// time is refused before it ships.

#include "Packer.h"

namespace nvpack {

// Throws PackError naming the entry, its source and, where there is one, the
// line: a tag-file syntax error, a fault the interpreter's check finds in the
// instruction program, a launch command or archive template whose function
// references the launch would refuse, and a JVM file without JVM_EXE.
// Expects entries that passed the structural checks of pack.
void checkContents(const PackRequest& request);

}  // namespace nvpack
