#include "cleanup/RemovingWalker.h"

#include "cleanup/FileRemoval.h"
#include "foundation/AsciiCase.h"

namespace nv {

bool RemovingWalker::walk(const LauncherString& root) {
    failed_.clear();
    directories_.clear();
    const bool result = DirectoryWalker::walk(root);
    for (std::int32_t i = directories_.count() - 1; i >= 0; --i) {
        const LauncherString& directory = directories_.get(i);
        if (holdsAFailure(directory)) continue;
        if (!deleteOne(directory, removal_)) failed_.append(directory);
    }
    directories_.clear();
    return result;
}

bool RemovingWalker::visitFile(const LauncherString& path) {
    if (!deleteOne(path, removal_)) failed_.append(path);
    return false;
}

void RemovingWalker::visitDirectory(const LauncherString& directory) { directories_.append(directory); }

void RemovingWalker::visitLink(const LauncherString& path) {
    if (!deleteOne(path, removal_)) failed_.append(path);
}

bool RemovingWalker::holdsAFailure(const LauncherString& directory) const {
    for (std::int32_t i = 0; i < failed_.count(); ++i) {
        if (startsWithIgnoringAsciiCase(failed_.get(i).str(), directory.str())) return true;
    }
    return false;
}

}  // namespace nv
