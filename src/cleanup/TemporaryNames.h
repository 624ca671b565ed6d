#pragma once
// The system operations behind temporary names (win32/ and host/ halves).

#include "foundation/LauncherString.h"

namespace nv {

// The system's temporary path as it gives it, as a rule ending in "\".
LauncherString systemTemporaryPath();

// True when the path names an existing directory.
bool isExistingDirectory(const LauncherString& path);

// Creates an empty file with a new unique name that begins with "LRE" in the
// directory and returns its path; on failure returns the empty text and sets
// error to the system's error code.
LauncherString createUniqueFile(const LauncherString& directory, unsigned long& error);

// The system's code for a request refused for lack of access.
bool isAccessDenied(unsigned long error);

// Turns the empty file at path into an empty directory of the same name;
// failures are not reported (the directory is then missing at its first use).
void replaceFileByDirectory(const LauncherString& path);

// Deletes the file at path; failures are not reported.
void removeFile(const LauncherString& path);

}  // namespace nv
