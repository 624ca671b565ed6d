#pragma once
// Companion files: plain text files next to the original launcher file, named
// like it with another extension (setup.exe: setup.sp, setup.cp, ...).

#include "foundation/LauncherString.h"
#include "foundation/StringList.h"

namespace nv {

// The companion path of `launcherPath` for `suffix` (".sp", ".cp1", ...):
// the path cut at the last "." after its last separator, then the suffix; a
// path without a separator keeps its extension and gets the suffix appended.
LauncherString companionPath(const LauncherString& launcherPath, const LauncherString& suffix);

// The lines of the run's companion file for `suffix` (next to the original
// launcher), read with readLine; empty when it cannot be opened.
StringList companionLines(const LauncherString& launcherPath, const LauncherString& suffix);

}  // namespace nv
