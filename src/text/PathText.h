#pragma once
// The two path routines on text: a trailing separator and the launcher's directory.

#include "foundation/LauncherString.h"

namespace nv {

// Appends one backslash unless `path` is empty or already ends in a
// backslash (a path ending in a slash still gets one).
void ensureTrailingSeparator(LauncherString& path);

// The directory of a launcher's path: the text before its last slash or
// backslash, empty when it has neither. Callers pass the launcher's own path
// or the run's original launcher path (the launcher's own when none was given).
LauncherString launcherDirectory(const LauncherString& path);

}  // namespace nv
