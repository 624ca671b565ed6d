#pragma once
// Arguments written into a command line so that the started program's C
// runtime reads back exactly the argument given.

#include "foundation/LauncherString.h"

namespace nv {

// The argument in double quotes: a double quote inside becomes \", and
// backslashes are doubled where they come before a double quote or before
// the closing quote; all other bytes stay as they are.
LauncherString quoteArgument(const LauncherString& argument);

}  // namespace nv
