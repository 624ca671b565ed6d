// The host stands in with TMPDIR and mkstemp; "\" reads as "/".
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>

#include "cleanup/TemporaryNames.h"
#include "foundation/host/HostPath.h"

namespace nv {

LauncherString systemTemporaryPath() {
    const char* tmp = std::getenv("TMPDIR");
    std::string path = tmp && *tmp ? tmp : "/tmp";
    if (path.back() != '/') path += '/';
    return LauncherString(path);
}

bool isExistingDirectory(const LauncherString& path) {
    struct stat info {};
    return stat(hostPath(path).c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

LauncherString createUniqueFile(const LauncherString& directory, unsigned long& error) {
    std::string pattern = hostPath(directory);
    if (!pattern.empty() && pattern.back() != '/') pattern += '/';
    pattern += "LREXXXXXX";
    const int fd = mkstemp(&pattern[0]);
    if (fd < 0) {
        error = static_cast<unsigned long>(errno);
        return LauncherString();
    }
    close(fd);
    error = 0;
    return LauncherString(pattern);
}

bool isAccessDenied(unsigned long error) { return error == EACCES; }

void replaceFileByDirectory(const LauncherString& path) {
    unlink(hostPath(path).c_str());
    mkdir(hostPath(path).c_str(), 0700);
}

void removeFile(const LauncherString& path) { unlink(hostPath(path).c_str()); }

}  // namespace nv
