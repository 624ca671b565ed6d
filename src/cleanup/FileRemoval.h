#pragma once
// Removing one file or one empty directory, and telling what lies at a path.

#include "foundation/LauncherString.h"
#include "foundation/StringList.h"

namespace nv {

enum class PathKind { missing, file, directory, link };

// What a removal could not do.
struct Removal {
    // The run-log warnings, one per path that stayed:
    // "Could not delete <path> :  <system error text>".
    StringList failures;
    // True when a failure may pass by itself (a sharing violation or access
    // denied: another program holds a file for a moment), so that another
    // try makes sense; a link Wine cannot remove, a missing path or a
    // directory whose content stayed for such a reason will not change.
    bool retryable = false;

    // Writes the failures to the run log as warnings.
    void log() const;
};

// What lies at the path: nothing (its attributes cannot be read), a file, a
// directory, or a directory that is a reparse point (junction or symbolic
// link) whose content belongs elsewhere.
PathKind pathKind(const LauncherString& path);

// Removes one file, one empty directory or one link (never a link's target),
// clearing the read-only attribute first. On failure adds to `removal` and
// returns false.
bool deleteOne(const LauncherString& path, Removal& removal);

// Removes whatever lies at the path, a directory with all its content (links
// inside it are removed as links, never followed). Nothing when the path does
// not exist. Returns what could not be removed.
Removal deletePath(const LauncherString& path);

}  // namespace nv
