// The host's one file system stands in as a single fixed drive.
#include "jvm/DriveQuery.h"

namespace nv {

StringList logicalDriveRoots() {
    StringList roots;
    roots.append("/");
    return roots;
}

bool isFixedDrive(const LauncherString&) { return true; }

}  // namespace nv
