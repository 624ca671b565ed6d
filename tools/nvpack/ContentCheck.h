#pragma once
// Reads the tag files a request packs (instructions, JVM files, the launch
// script) with the launcher's own readers, so that what would fail at run
// time is refused before it ships.

#include <string>
#include <vector>

#include "Packer.h"

namespace nvpack {

// Throws PackError naming the entry, its source and, where there is one, the
// line: a tag-file syntax error, a fault the interpreter's check finds in the
// instruction program, a launch command or archive template whose function
// references the launch would refuse, wherever they stand, a function's
// quoted argument included (an unknown name, an argument count, a %CP%
// inside a class path, %APPLICATION_ARCHIVE%() without an application
// archive), a JVM file without JVM_EXE, a MIN_JAVA_VERSION or
// MAX_JAVA_VERSION that is no version or a range no version meets, a search
// key the launcher could not follow (checkJvmSearchKeys), and a verification
// (VERIFY, FIND_JVM, JVM_PROPERTIES, a version range) without a verification
// archive. Returns warnings for what a launch may still mean: a path function
// outside double quotes, an @NAME@ that no carried JVM file defines; and for
// a JVM file's hints that would never be searched. Expects entries that
// passed the structural checks of pack.
std::vector<std::string> checkContents(const PackRequest& request);

}  // namespace nvpack
