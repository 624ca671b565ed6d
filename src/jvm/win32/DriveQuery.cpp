// Logical drives through GetLogicalDriveStringsA and GetDriveTypeA.
#include <windows.h>

#include <string>

#include "jvm/DriveQuery.h"

namespace nv {

StringList logicalDriveRoots() {
    StringList roots;
    const DWORD needed = GetLogicalDriveStringsA(0, nullptr);
    if (needed == 0) return roots;
    std::string buffer(needed + 1, '\0');
    const DWORD length = GetLogicalDriveStringsA(needed, &buffer[0]);
    // A drive added between the calls makes the second one report a larger
    // size and fill nothing: then there is nothing trustworthy to list.
    if (length == 0 || length > needed) return roots;
    std::string::size_type start = 0;
    while (start < length) {
        const std::string::size_type end = buffer.find('\0', start);
        if (end == start || end == std::string::npos || end > length) break;
        roots.append(LauncherString(buffer.data() + start, static_cast<LauncherString::size_type>(end - start)));
        start = end + 1;
    }
    return roots;
}

bool isFixedDrive(const LauncherString& root) { return GetDriveTypeA(root.c_str()) == DRIVE_FIXED; }

}  // namespace nv
