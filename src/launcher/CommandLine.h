#pragma once
// Splitting a command line into arguments by the rules of the Windows 9x
// family; the process's own command line is ProcessCommandLine.h's.

#include "foundation/LauncherString.h"
#include "foundation/StringList.h"

namespace nv {

// The narrow splitter used on the Windows 9x family: the program name first
// (backslashes kept), then the arguments; empty tokens are dropped.
StringList splitNarrowCommandLine(const LauncherString& commandLine);

}  // namespace nv
