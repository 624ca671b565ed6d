#include "jvm/JvmFileWalker.h"

#include "jvm/JvmSearch.h"
#include "tagfile/PathText.h"

namespace nv {

namespace {

char lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// The `count` bytes of `a` from `pos` against the first `count` of `b`.
bool sameText(const LauncherString& a, LauncherString::size_type pos, const LauncherString& b,
              LauncherString::size_type count, bool ignoreCase) {
    for (LauncherString::size_type i = 0; i < count; ++i) {
        const char x = a[pos + i];
        const char y = b[i];
        if (ignoreCase ? lower(x) != lower(y) : x != y) return false;
    }
    return true;
}

const LauncherString recycleName("RECYCLE");

}  // namespace

bool endsWithExeName(const LauncherString& path, const LauncherString& exeName, bool ignoreCase) {
    const auto n = exeName.length();
    if (n == 0 || path.length() < n) return false;
    const auto start = path.length() - n;
    if (start > 0 && path[start - 1] != '\\') return false;
    return sameText(path, start, exeName, n, ignoreCase);
}

JvmFileWalker::JvmFileWalker(JvmSearch& search, const StringList& exeNames, const LauncherString& temporaryDirectory)
    : DirectoryWalker(true, false), search_(search), temporaryDirectory_(temporaryDirectory) {
    for (std::int32_t i = 0; i < exeNames.count(); ++i) exeNames_.append(exeNames.get(i));
    // The walk hands over directories with one final "\"; the system's own
    // temporary path already ends in one.
    ensureTrailingSeparator(temporaryDirectory_);
}

bool JvmFileWalker::visitFile(const LauncherString& path) {
    for (std::int32_t i = 0; i < exeNames_.count(); ++i) {
        if (endsWithExeName(path, exeNames_.get(i), true) && search_.fileFound(path)) return true;
    }
    return false;
}

bool JvmFileWalker::skipDirectory(const LauncherString& directory) {
    const auto n = temporaryDirectory_.length();
    if (n > 0 && directory.length() == n && sameText(directory, 0, temporaryDirectory_, n, true)) return true;
    // The recycle bins at a drive's root hold deleted files, never a JVM to run.
    return directory.length() >= 9 && directory[1] == ':' &&
           sameText(directory, 3, recycleName, recycleName.length(), true);
}

}  // namespace nv
