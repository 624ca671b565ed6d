#pragma once
// Removing one file or one empty directory, and telling what lies at a path.

#include "foundation/LauncherString.h"

namespace nv {

enum class PathKind { missing, file, directory, link };

// What lies at the path: nothing (its attributes cannot be read), a file, a
// directory, or a directory that is a reparse point (junction or symbolic
// link) whose content belongs elsewhere.
PathKind pathKind(const LauncherString& path);

// Removes one file, one empty directory or one link (never a link's target),
// clearing the read-only attribute first. On failure writes the run-log
// warning "Could not delete <path> :  <system error text>" and returns false.
bool deleteOne(const LauncherString& path);

// Removes whatever lies at the path, a directory with all its content (links
// inside it are removed as links, never followed). Nothing when the path does
// not exist. Failures are logged by deleteOne; the caller sees whether the
// path still exists.
void deletePath(const LauncherString& path);

}  // namespace nv
