#pragma once
// Paths in the ANSI code page that the launcher works in, for paths that the
// system hands over in UTF-16.
#include <windows.h>

#include "foundation/LauncherString.h"

namespace nv {

// The path in the ANSI code page. A path that code page cannot spell (a
// Cyrillic folder on a Western system) would not open again through the
// narrow file calls, so an existing one is given in its short 8.3 form
// instead, when that form survives the round trip; otherwise the lossy text.
LauncherString ansiPathOf(const wchar_t* path);

}  // namespace nv
