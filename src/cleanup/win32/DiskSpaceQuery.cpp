// Free space of a drive through GetDiskFreeSpaceA.
#include <windows.h>

#include <direct.h>

#include "cleanup/DiskSpace.h"
#include "cleanup/DiskSpaceQuery.h"
#include "foundation/LauncherException.h"
#include "foundation/Messages.h"

namespace nv {

bool hasRoomFor(const LauncherString& path, std::uint32_t bytes, std::int32_t files) {
    LauncherString root;
    if (path.length() > 3 && path[1] == ':' && path[2] == '\\') {
        root = path.substr(0, 3);
    } else {
        root += static_cast<char>('A' + _getdrive() - 1);
        root += ":\\";
    }
    DWORD sectorsPerCluster = 0, bytesPerSector = 0, freeClusters = 0, totalClusters = 0;
    if (!GetDiskFreeSpaceA(root.c_str(), &sectorsPerCluster, &bytesPerSector, &freeClusters, &totalClusters)) {
        throwLauncherException(callFailed("GetDiskFreeSpace", GetLastError()));
    }
    double clusterSize = static_cast<double>(bytesPerSector) * sectorsPerCluster;
    if (clusterSize <= 0) return false;
    return clusterSize * freeClusters >= clusterSize * clustersNeeded(bytes, files, clusterSize);
}

}  // namespace nv
