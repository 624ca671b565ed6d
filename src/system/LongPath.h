#pragma once
// The long form of a path (win32/ and host/ halves): the names that a
// directory listing gives, where the path may carry 8.3 short names.

#include "foundation/LauncherString.h"

namespace nv {

// The system's long form of an existing path, each short name replaced by
// the name it stands for; the path as given when the system has none for it
// (a missing path, or one too long for the narrow call). The host has no
// short names and gives the path back.
LauncherString longPathName(const LauncherString& path);

}  // namespace nv
