// The host opens the path, as hostPath reads it, with open(2). A directory is
// refused the way CreateFile refuses one without backup semantics.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "foundation/host/HostPath.h"
#include "jvm/FileProbe.h"

namespace nv {

unsigned long probeFile(const LauncherString& path) {
    const int fd = open(hostPath(path).c_str(), O_RDONLY);
    if (fd < 0) return static_cast<unsigned long>(errno);
    struct stat info {};
    const bool directory = fstat(fd, &info) == 0 && S_ISDIR(info.st_mode);
    close(fd);
    return directory ? EISDIR : 0;
}

// Files on the host are never locked against opening.
bool isSharingViolation(unsigned long) { return false; }

bool isMissingFileError(unsigned long error) { return error == ENOENT || error == ENOTDIR; }

}  // namespace nv
