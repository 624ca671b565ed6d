#include "jvm/FixedDrives.h"

#include "foundation/LauncherException.h"
#include "foundation/ResourceText.h"
#include "jvm/DriveQuery.h"
#include "resources/StringIds.h"

namespace nv {

StringList fixedDrives() {
    const StringList roots = logicalDriveRoots();
    if (roots.empty()) throwLauncherException(loadText(IDS_NO_DRIVES));
    StringList drives;
    for (std::int32_t i = 0; i < roots.count(); ++i) {
        const LauncherString& root = roots.get(i);
        if (isFixedDrive(root)) drives.append(root.substr(0, root.length() - 1));
    }
    return drives;
}

}  // namespace nv
