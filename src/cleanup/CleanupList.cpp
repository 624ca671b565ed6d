#include "cleanup/CleanupList.h"

#include "cleanup/FileRemoval.h"
#include "foundation/AsciiCase.h"
#include "foundation/Log.h"
#include "foundation/Retry.h"

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
    MutexLock lock(mutex_);
    directories_.append(path);
}

void CleanupList::recordFile(const LauncherString& path) {
    MutexLock lock(mutex_);
    files_.append(path);
}

void CleanupList::forgetDirectory(const LauncherString& path) {
    MutexLock lock(mutex_);
    forget(directories_, path);
}

void CleanupList::forgetFile(const LauncherString& path) {
    MutexLock lock(mutex_);
    forget(files_, path);
}

StringList CleanupList::directories() const {
    MutexLock lock(mutex_);
    StringList copy;
    for (std::int32_t i = 0; i < directories_.count(); ++i) copy.append(directories_.get(i));
    return copy;
}

StringList CleanupList::files() const {
    MutexLock lock(mutex_);
    StringList copy;
    for (std::int32_t i = 0; i < files_.count(); ++i) copy.append(files_.get(i));
    return copy;
}

void CleanupList::cleanUp(Pause& pause) {
    MutexLock lock(mutex_);
    removeAll(directories_, "Launcher: Deleting dir: ", pause);
    removeAll(files_, "Launcher: Deleting file: ", pause);
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

}  // namespace nv
