#pragma once
// Opening a file only to learn whether it is there (win32/ and host/ halves).

#include "foundation/LauncherString.h"

namespace nv {

// Opens an existing file for reading without sharing and closes it again.
// Returns 0 when it opened, otherwise the system's error code. A directory
// does not open as a file.
unsigned long probeFile(const LauncherString& path);

// The error of a file that another process holds open without sharing.
bool isSharingViolation(unsigned long error);

// The errors of a missing file or of a missing directory on its path.
bool isMissingFileError(unsigned long error);

}  // namespace nv
