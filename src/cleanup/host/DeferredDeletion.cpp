// The host has no WinInit.Ini and no batch files: the system operations
// refuse, and the portable text builders are what the host tests use.
#include <cerrno>

#include "cleanup/DeferredDeletion.h"

namespace nv {

LauncherString shortPathName(const LauncherString& path) { return path; }

unsigned long mergeIntoWinInit(const StringList&) { return ENOSYS; }

bool startCleanupBatch(const LauncherString&) { return false; }

}  // namespace nv
