#pragma once
// Path hints: directories that may be a Java home.

#include "foundation/LauncherString.h"
#include "foundation/StringList.h"

namespace nv {

// How a hint names its directory.
enum class PathHintKind {
    full,         // a drive letter ("C:", "C:\jdk", "C:/jdk") or a UNC name ("\\server\share"): used as it is
    driveRooted,  // one leading "\": a path from the root of each fixed drive
    relative,     // anything else: below the launcher's directory
};

PathHintKind pathHintKind(const LauncherString& hint);

// The candidate homes of one hint, in the order to try them: a full path
// once as it is; a drive-rooted hint on each of `drives` (C: and \jre give
// C:\jre; "\" gives C:\); any other hint once, below `launcherDirectory`
// ("\" between them only when that directory is not empty).
StringList pathHintCandidates(const LauncherString& hint, const StringList& drives,
                              const LauncherString& launcherDirectory);

}  // namespace nv
