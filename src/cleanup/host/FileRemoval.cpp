// The host stands in with lstat, chmod, unlink and rmdir; "\" reads as "/".
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "cleanup/FileRemoval.h"
#include "foundation/ResourceText.h"
#include "foundation/host/HostPath.h"

namespace nv {

PathKind pathKind(const LauncherString& path) {
    struct stat info {};
    const std::string p = hostPath(path);
    if (lstat(p.c_str(), &info) != 0) return PathKind::missing;
    if (S_ISLNK(info.st_mode)) {
        struct stat target {};
        return stat(p.c_str(), &target) == 0 && S_ISDIR(target.st_mode) ? PathKind::link : PathKind::file;
    }
    return S_ISDIR(info.st_mode) ? PathKind::directory : PathKind::file;
}

bool deleteOne(const LauncherString& path, Removal& removal) {
    const std::string p = hostPath(path);
    struct stat info {};
    const bool known = lstat(p.c_str(), &info) == 0;
    if (known && !S_ISLNK(info.st_mode) && !(info.st_mode & S_IWUSR)) chmod(p.c_str(), info.st_mode | S_IWUSR);
    const bool directory = known && S_ISDIR(info.st_mode);
    if ((directory ? rmdir(p.c_str()) : unlink(p.c_str())) == 0) return true;
    const int error = errno;
    removal.failures.append(
        joinText({"Could not delete ", path, " :  ", systemErrorText(static_cast<unsigned long>(error))}));
    if (error == EACCES || error == EPERM || error == EBUSY) removal.retryable = true;
    return false;
}

}  // namespace nv
