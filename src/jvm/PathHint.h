#pragma once
// Path hints: directories that may be a Java home.

#include "foundation/LauncherString.h"
#include "foundation/StringList.h"

namespace nv {

// A hint that begins with "\" is a path from the root of a drive.
bool isDriveRootedHint(const LauncherString& hint);

// The candidate homes of one hint, in the order to try them: a drive-rooted
// hint on each of `drives` (C: and \jre give C:\jre; "\" gives C:\), any
// other hint once, below `launcherDirectory` ("\" between them only when
// that directory is not empty).
StringList pathHintCandidates(const LauncherString& hint, const StringList& drives,
                              const LauncherString& launcherDirectory);

}  // namespace nv
