#pragma once
// Whether a file is there, as the JVM checks see it.

#include "foundation/LauncherString.h"

namespace nv {

// True when the file opens for reading, or when another process holds it
// open without sharing (it is there, only in use). False for a missing file
// or directory on its path; any other failure (a directory named as the
// file, access denied) is written to the run log with the system's text and
// counts as missing.
bool fileExists(const LauncherString& path);

}  // namespace nv
