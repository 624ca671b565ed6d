#pragma once
// The walker of the disk scan: reports every file that ends in one of the
// JVM files' executable names to the JvmSearch.

#include "foundation/DirectoryWalker.h"
#include "foundation/LauncherString.h"
#include "foundation/StringList.h"

namespace nv {

class JvmSearch;

// True when `path` ends in `exeName` (compared without regard to case when
// `ignoreCase` is set) and is either exactly that name or has "\" just before
// it. An empty name matches nothing.
bool endsWithExeName(const LauncherString& path, const LauncherString& exeName, bool ignoreCase);

class JvmFileWalker : public DirectoryWalker {
public:
    // Stops when the user cancels and keeps out of linked directories: a
    // junction that points back up the tree would otherwise walk it again
    // and again. `search` must outlive the walker. `temporaryDirectory` (the
    // base temporary directory, with or without a final "\", in its long or
    // its 8.3 form) is not entered.
    JvmFileWalker(JvmSearch& search, const StringList& exeNames, const LauncherString& temporaryDirectory);

    // Reports the path once for each exe name that it ends in (case
    // ignored); true at the first report that the search answers true.
    bool visitFile(const LauncherString& path) override;

    // True for the base temporary directory, and for a drive-root directory
    // whose name begins with RECYCLE or is $RECYCLE.BIN (case ignored).
    bool skipDirectory(const LauncherString& directory) override;

private:
    JvmSearch& search_;
    StringList exeNames_;
    LauncherString temporaryDirectory_;
};

}  // namespace nv
