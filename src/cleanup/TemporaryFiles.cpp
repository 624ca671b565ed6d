#include "cleanup/TemporaryFiles.h"

#include "cleanup/CleanupList.h"
#include "cleanup/FileRemoval.h"
#include "cleanup/TemporaryNames.h"
#include "foundation/LauncherException.h"
#include "foundation/Messages.h"
#include "foundation/ResourceText.h"
#include "foundation/Retry.h"
#include "foundation/RunSettings.h"
#include "foundation/RunState.h"

namespace nv {

LauncherString temporaryDirectory() {
    LauncherString base = runSettings().tempDirOverride;
    if (base.empty()) {
        LauncherString& systemPath = runState().systemTemporaryPath;
        if (systemPath.empty()) systemPath = systemTemporaryPath();
        base = systemPath;
    }
    if (!isExistingDirectory(base)) {
        throwLauncherException(formatText(messageText(MessageCode::temporaryDirectoryMissing), base));
    }
    return base;
}

LauncherString createTemporaryDirectory(Pause& pause) {
    const LauncherString base = temporaryDirectory();
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
    cleanupList().recordDirectory(path);
    return path;
}

void removeTemporaryDirectory(const LauncherString& path) {
    deletePath(path).log();
    if (pathKind(path) == PathKind::missing) cleanupList().forgetDirectory(path);
}

LauncherString createTemporaryFile() {
    const LauncherString base = temporaryDirectory();
    unsigned long error = 0;
    const LauncherString path = createUniqueFile(base, error);
    cleanupList().recordFile(path);
    return path;
}

}  // namespace nv
