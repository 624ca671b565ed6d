#include "cleanup/RemovingWalker.h"

#include "cleanup/FileRemoval.h"

namespace nv {

namespace {

char lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// Whether text begins with prefix, compared without regard to case.
bool beginsWithIgnoringCase(const LauncherString& text, const LauncherString& prefix) {
    if (text.length() < prefix.length()) return false;
    for (LauncherString::size_type i = 0; i < prefix.length(); ++i) {
        if (lower(text[i]) != lower(prefix[i])) return false;
    }
    return true;
}

}  // namespace

bool RemovingWalker::walk(const LauncherString& root) {
    failed_.clear();
    const bool result = DirectoryWalker::walk(root);
    const StringList& directories = visitedDirectories();
    for (std::int32_t i = directories.count() - 1; i >= 0; --i) {
        const LauncherString& directory = directories.get(i);
        if (holdsAFailure(directory)) continue;
        if (!deleteOne(directory)) failed_.append(directory);
    }
    return result;
}

bool RemovingWalker::visitFile(const LauncherString& path) {
    deleteOne(path);
    return false;
}

void RemovingWalker::visitLink(const LauncherString& path) { deleteOne(path); }

bool RemovingWalker::holdsAFailure(const LauncherString& directory) const {
    for (std::int32_t i = 0; i < failed_.count(); ++i) {
        if (beginsWithIgnoringCase(failed_.get(i), directory)) return true;
    }
    return false;
}

}  // namespace nv
