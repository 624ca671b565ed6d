// Free space on the host, for portable code run natively.
#include <sys/statvfs.h>

#include <cerrno>

#include "cleanup/DiskSpace.h"
#include "cleanup/DiskSpaceQuery.h"
#include "foundation/LauncherException.h"
#include "foundation/Messages.h"

namespace nv {

bool hasRoomFor(const LauncherString& path, std::uint32_t bytes, std::int32_t files) {
    struct statvfs fs {};
    const char* where = path.empty() ? "." : path.c_str();
    if (statvfs(where, &fs) != 0 && statvfs(".", &fs) != 0) {
        throw callFailed("GetDiskFreeSpace", static_cast<unsigned long>(errno));
    }
    double clusterSize = static_cast<double>(fs.f_frsize);
    if (clusterSize <= 0) return false;
    return clusterSize * static_cast<double>(fs.f_bavail) >= clusterSize * clustersNeeded(bytes, files, clusterSize);
}

}  // namespace nv
