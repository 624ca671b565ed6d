#include "jvm/JvmFileWalker.h"

#include "foundation/AsciiCase.h"
#include "jvm/JvmSearch.h"
#include "system/LongPath.h"
#include "text/PathText.h"

namespace nv {

namespace {

const LauncherString recycleName("RECYCLE");
const LauncherString vistaRecycleName("$RECYCLE.BIN\\");

}  // namespace

bool endsWithExeName(const LauncherString& path, const LauncherString& exeName, bool ignoreCase) {
    const auto n = exeName.length();
    if (n == 0 || path.length() < n) return false;
    const auto start = path.length() - n;
    if (start > 0 && path[start - 1] != '\\') return false;
    const LauncherString tail = path.substr(start);
    return ignoreCase ? equalIgnoringAsciiCase(tail.str(), exeName.str()) : tail == exeName;
}

JvmFileWalker::JvmFileWalker(JvmSearch& search, const StringList& exeNames, const LauncherString& temporaryDirectory)
    : DirectoryWalker(OnCancel::stop, OnLink::keepOut),
      search_(search),
      temporaryDirectory_(longPathName(temporaryDirectory)) {
    for (std::int32_t i = 0; i < exeNames.count(); ++i) exeNames_.append(exeNames.get(i));
    // The walk spells directories with their long names and one final "\";
    // the temporary path may come in 8.3 form (%TEMP% often does) and
    // already ends in "\" when it is the system's own.
    ensureTrailingSeparator(temporaryDirectory_);
}

bool JvmFileWalker::visitFile(const LauncherString& path) {
    for (std::int32_t i = 0; i < exeNames_.count(); ++i) {
        if (endsWithExeName(path, exeNames_.get(i), true) && search_.fileFound(path)) return true;
    }
    return false;
}

bool JvmFileWalker::skipDirectory(const LauncherString& directory) {
    if (!temporaryDirectory_.empty() && equalIgnoringAsciiCase(directory.str(), temporaryDirectory_.str())) return true;
    // The recycle bins at a drive's root (RECYCLED, RECYCLER, and
    // $Recycle.Bin since Windows Vista) hold deleted files, never a JVM to run.
    if (directory.length() < 9 || directory[1] != ':') return false;
    const LauncherString name = directory.substr(3);
    return startsWithIgnoringAsciiCase(name.str(), recycleName.str()) ||
           startsWithIgnoringAsciiCase(name.str(), vistaRecycleName.str());
}

}  // namespace nv
