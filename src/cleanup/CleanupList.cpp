#include "cleanup/CleanupList.h"

#include "cleanup/FileRemoval.h"
#include "cleanup/SelfRemoval.h"
#include "foundation/AsciiCase.h"
#include "foundation/Log.h"
#include "foundation/Retry.h"
#include "foundation/RunSettings.h"

namespace nv {

namespace {

void forget(StringList& list, const LauncherString& path) {
    for (std::int32_t i = 0; i < list.count(); ++i) {
        if (equalIgnoringAsciiCase(list.get(i).str(), path.str())) {
            list.removeAt(i);
            return;
        }
    }
}

}  // namespace

void CleanupList::recordDirectory(const LauncherString& path) {
    MutexLock lock(paths_.mutex);
    paths_.directories.append(path);
}

void CleanupList::recordFile(const LauncherString& path) {
    MutexLock lock(paths_.mutex);
    paths_.files.append(path);
}

void CleanupList::forgetDirectory(const LauncherString& path) {
    MutexLock lock(paths_.mutex);
    forget(paths_.directories, path);
}

void CleanupList::forgetFile(const LauncherString& path) {
    MutexLock lock(paths_.mutex);
    forget(paths_.files, path);
}

StringList CleanupList::directories() const {
    MutexLock lock(paths_.mutex);
    StringList copy;
    for (std::int32_t i = 0; i < paths_.directories.count(); ++i) copy.append(paths_.directories.get(i));
    return copy;
}

StringList CleanupList::files() const {
    MutexLock lock(paths_.mutex);
    StringList copy;
    for (std::int32_t i = 0; i < paths_.files.count(); ++i) copy.append(paths_.files.get(i));
    return copy;
}

void CleanupList::cleanUp(Pause& pause) {
    MutexLock lock(paths_.mutex);
    removeAll(paths_.directories, "Launcher: Deleting dir: ", pause);
    removeAll(paths_.files, "Launcher: Deleting file: ", pause);
    if (runSettings().originalLauncher) removeOwnExecutable();
}

void CleanupList::removeAll(StringList& paths, const char* debugText, Pause& pause) {
    while (!paths.empty()) {
        const LauncherString path = paths.last();
        // Only a failure that may pass is tried again, and only the first
        // try's failures are logged: the later ones would say the same.
        bool first = true;
        retry(
            [&] {
                debugLog(LauncherString(debugText) + path);
                const Removal removal = deletePath(path);
                if (first) removal.log();
                first = false;
                return removal.retryable && pathKind(path) != PathKind::missing;
            },
            deletionTries, deletionInterval, pause);
        if (pathKind(path) != PathKind::missing) {
            logEntry(joinText({"Gave up deleting ", path, "; it is left behind."}), LogKind::warning);
        }
        paths.removeAt(paths.count() - 1);
    }
}

CleanupList cleanupList() { return CleanupList(runState().cleanup); }

}  // namespace nv
