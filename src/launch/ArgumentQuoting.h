#pragma once
// Arguments written into a command line so that the started program's C
// runtime reads back exactly the argument given.

#include "foundation/LauncherString.h"
#include "foundation/StringList.h"

namespace nv {

// The argument in double quotes: a double quote inside becomes \", and
// backslashes are doubled where they come before a double quote or before
// the closing quote; all other bytes stay as they are.
LauncherString quoteArgument(const LauncherString& argument);

// Appends each argument to the command line, a blank and then quoteArgument of it.
void appendQuotedArguments(LauncherString& commandLine, const StringList& arguments);

}  // namespace nv
