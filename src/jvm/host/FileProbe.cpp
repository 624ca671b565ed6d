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

bool readFileStart(const LauncherString& path, std::size_t limit, std::string& bytes) {
    const int fd = open(hostPath(path).c_str(), O_RDONLY);
    if (fd < 0) return false;
    bytes.assign(limit, '\0');
    const ssize_t got = read(fd, &bytes[0], limit);
    close(fd);
    if (got < 0) return false;
    bytes.resize(static_cast<std::size_t>(got));
    return true;
}

bool isMissingFileError(unsigned long error) { return error == ENOENT || error == ENOTDIR; }

}  // namespace nv
