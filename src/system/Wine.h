#pragma once
// Whether the launcher runs under Wine, for the few places where Wine's
// behaviour differs from Windows in a way that could do harm.

#include "foundation/LauncherString.h"

namespace nv {

// True when the system is Wine (its ntdll exports wine_get_version).
bool runsUnderWine();

// True when `path` (a full path) is a Unix symbolic link to a file under
// Wine. Wine shows such a link with a plain file's attributes, and deleting
// it removes its target while the link stays. Opening the link lands on the
// target, so the final path the system reports is not the link's own name
// in its own directory. False on Windows and wherever that cannot be told.
bool isWineFileLink(const LauncherString& path);

}  // namespace nv
