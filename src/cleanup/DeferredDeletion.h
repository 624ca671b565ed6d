#pragma once
// The system's means to delete files once the launcher has ended (win32/ and
// host/ halves): WinInit.Ini's [Rename] section, read at the next start of
// Windows on the 9x family, and a batch file that waits at idle priority.

#include "foundation/LauncherString.h"
#include "foundation/StringList.h"

namespace nv {

// The system's short form of an existing path; the empty text otherwise.
LauncherString shortPathName(const LauncherString& path);

// Merges the lines into WinInit.Ini in the Windows directory through a file
// mapping (withRenameLines, SelfRemoval.h); returns 0 or the system's error code.
unsigned long mergeIntoWinInit(const StringList& lines);

// Starts the batch file hidden, suspended and at idle priority, raises the
// launcher's own priority so that it ends quickly, then lets the batch file
// run. False when it cannot be started.
bool startCleanupBatch(const LauncherString& batch);

}  // namespace nv
