#pragma once
// Path hints: directories that may be a Java home.

#include "foundation/LauncherString.h"
#include "foundation/StringList.h"
#include "jvm/PlatformHint.h"

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

// Where a path hint's candidates are looked for.
struct PathHintPlace {
    StringList drives;                 // the fixed drives, for hints from a drive's root
    LauncherString launcherDirectory;  // for relative hints
    LauncherString exeName;            // JVM_EXE, for the PATH hint
};

// The Java homes of one path hint, in the order to try them: those of
// pathHintCandidates, and beyond them
// - a leading %NAME% is that environment variable's value
//   ("%ProgramFiles%\Zulu\zulu-*", "%JAVA_HOME%");
// - the hint "%PATH%" gives, for each folder on PATH that holds the
//   executable's file and ends in its folder ("bin"), the folder above
//   (Oracle's "javapath" folders hold copies, not a home: they do not end in
//   "bin");
// - a last component with "*" or "?" is a folder pattern: each folder that
//   matches it (case of A-Z ignored), in name order.
// A "%" or "*" was never part of a folder name that a hint could mean. With
// `misses` warn, a hint that gives no folder says why in a warning.
StringList pathHintHomes(const LauncherString& hint, const PathHintPlace& place, HintMisses misses);

// True when `name` matches `pattern`, whose "*" stands for any run of
// characters and "?" for one; A-Z compared without case.
bool matchesFolderPattern(const LauncherString& name, const LauncherString& pattern);

}  // namespace nv
