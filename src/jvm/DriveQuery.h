#pragma once
// The system's logical drives (win32/ and host/ halves); the host reports
// "/" as its one fixed drive.

#include "foundation/LauncherString.h"
#include "foundation/StringList.h"

namespace nv {

// The root of every logical drive ("C:\"), in the system's order; an empty
// list when the system reports none.
StringList logicalDriveRoots();

// True when the drive of this root is a fixed disk (not removable, network,
// CD or RAM).
bool isFixedDrive(const LauncherString& root);

}  // namespace nv
