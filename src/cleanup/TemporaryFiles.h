#pragma once
// The base temporary directory and the uniquely named directories and files
// that a run creates in it, each recorded for removal at the end of the run.

#include "foundation/LauncherString.h"
#include "foundation/Pause.h"

namespace nv {

// Access-denied answers to a name request are retried 200 ms apart up to
// this many times (ten seconds): a scanner that holds the directory briefly
// is waited out, one that never lets go ends the run with the system's text.
constexpr unsigned temporaryNameTries = 50;
constexpr unsigned temporaryNameInterval = 200;

// The base temporary directory: -nv:tempdir, else the system's temporary
// path (taken at the first call and kept). Checked on every call: throws
// LauncherException MessageCode::temporaryDirectoryMissing naming the path
// when it is not an existing directory.
LauncherString temporaryDirectory();

// Creates a new empty directory "LRE..." in the base temporary directory,
// records it for removal and returns its path (no trailing separator).
// Throws like temporaryDirectory, and "GetTempFileName failed  ==>  " + the
// system's text when no name can be had.
LauncherString createTemporaryDirectory(Pause& pause = systemPause());

// Removes a directory that createTemporaryDirectory made, now, and takes it
// off the clean-up list; one that cannot be removed yet stays listed.
void removeTemporaryDirectory(const LauncherString& path);

// Creates a new empty file "LRE..." in the base temporary directory, records
// it for removal and returns its path; the empty text (also recorded) when
// no name can be had. Throws like temporaryDirectory.
LauncherString createTemporaryFile();

}  // namespace nv
