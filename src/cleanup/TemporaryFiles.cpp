#include "cleanup/TemporaryFiles.h"

#include "cleanup/FileRemoval.h"
#include "cleanup/SelfRemoval.h"
#include "cleanup/TemporaryNames.h"
#include "foundation/LauncherException.h"
#include "foundation/Messages.h"
#include "foundation/ResourceText.h"
#include "foundation/Retry.h"

namespace nv {

LauncherString TemporaryFiles::directory() {
    LauncherString base = settings_.tempDirOverride;
    if (base.empty()) {
        if (systemPath_.empty()) systemPath_ = systemTemporaryPath();
        base = systemPath_;
    }
    if (!isExistingDirectory(base)) {
        throwLauncherException(formatText(messageText(MessageCode::temporaryDirectoryMissing), base));
    }
    return base;
}

LauncherString TemporaryFiles::createDirectory(Pause& pause) {
    const LauncherString base = directory();
    LauncherString path;
    unsigned long error = 0;
    retry(
        [&] {
            path = createUniqueFile(base, error);
            return path.empty() && isAccessDenied(error);
        },
        temporaryNameTries, temporaryNameInterval, pause);
    if (path.empty()) throwLauncherException(callFailed("GetTempFileName", error));
    replaceFileByDirectory(path);
    list_.recordDirectory(path);
    return path;
}

void TemporaryFiles::removeDirectory(const LauncherString& path) {
    deletePath(path).log();
    if (pathKind(path) == PathKind::missing) list_.forgetDirectory(path);
}

LauncherString TemporaryFiles::createFile() {
    const LauncherString base = directory();
    unsigned long error = 0;
    const LauncherString path = createUniqueFile(base, error);
    list_.recordFile(path);
    return path;
}

void TemporaryFiles::cleanUp(Pause& pause) {
    MutexLock lock(list_.mutex());
    list_.cleanUp(pause);
    if (settings_.originalLauncher) removeOwnExecutable(settings_.launcherPath, *this);
}

}  // namespace nv
