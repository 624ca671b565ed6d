#pragma once
// Splitting the process command line into arguments.

#include "foundation/LauncherString.h"
#include "foundation/StringList.h"

namespace nv {

// The narrow splitter used on the Windows 9x family: the program name first
// (backslashes kept), then the arguments; empty tokens are dropped.
StringList splitNarrowCommandLine(const LauncherString& commandLine);

// The process's own command line split by the rules of its Windows family:
// the narrow splitter on 9x, the system's wide splitter converted to the ANSI
// code page otherwise (empty arguments kept).
StringList splitProcessCommandLine();

// The module file name of the running executable (at most 259 characters).
// Throws LauncherException when the system cannot tell it or it is longer.
LauncherString moduleFileName();

}  // namespace nv
