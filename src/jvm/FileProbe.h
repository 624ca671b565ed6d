#pragma once
// Opening a file only to learn whether it is there (win32/ and host/ halves).

#include <cstddef>
#include <string>

#include "foundation/LauncherString.h"

namespace nv {

// Opens an existing file for reading without sharing and closes it again.
// Returns 0 when it opened, otherwise the system's error code. A directory
// does not open as a file.
unsigned long probeFile(const LauncherString& path);

// The error of a file that another process holds open without sharing.
bool isSharingViolation(unsigned long error);

// Reads at most `limit` bytes from the start of the file at `path`, which
// others may hold open; false when it does not open or cannot be read.
bool readFileStart(const LauncherString& path, std::size_t limit, std::string& bytes);

// The errors of a missing file or of a missing directory on its path.
bool isMissingFileError(unsigned long error);

}  // namespace nv
