#pragma once
// What the system tells the running launcher about itself (win32/ and host/
// halves): its command line, its own file and its version information.

#include <string>

#include "foundation/LauncherString.h"
#include "foundation/StringList.h"

namespace nv {

// The process's own command line split by the rules of its Windows family:
// the narrow splitter on 9x (splitNarrowCommandLine, CommandLine.h), the
// system's wide splitter converted to the ANSI code page otherwise (empty
// arguments kept).
StringList splitProcessCommandLine();

// The module file name of the running executable (at most 259 characters).
// Throws LauncherException when the system cannot tell it or it is longer.
LauncherString moduleFileName();

// The running executable's own version information (RT_VERSION 1) as
// stored; empty when it has none.
std::string ownVersionResource();

}  // namespace nv
