#pragma once
// A walk that removes a directory tree: every file as it is met, then the
// directories from the deepest up. It keeps out of linked directories and
// removes the links themselves, so nothing outside the tree is touched.

#include "cleanup/FileRemoval.h"
#include "foundation/DirectoryWalker.h"
#include "foundation/StringList.h"

namespace nv {

class RemovingWalker : public DirectoryWalker {
public:
    // Not stopped by a cancel request: a clean-up must finish. What cannot
    // be removed is added to `removal`.
    explicit RemovingWalker(Removal& removal) : DirectoryWalker(OnCancel::walkOn, OnLink::keepOut), removal_(removal) {}

    // Removes the files under root, then each visited directory from the last
    // visited to the root, leaving every directory that holds anything that
    // could not be removed (without trying it: it would only fail again).
    // Returns the underlying walk's result (always false).
    bool walk(const LauncherString& root) override;
    bool visitFile(const LauncherString& path) override;
    void visitLink(const LauncherString& path) override;
    // Records the directory: the walk's own list drops it once listed.
    void visitDirectory(const LauncherString& directory) override;

    // What could not be removed in the last walk.
    const StringList& failed() const { return failed_; }

private:
    bool holdsAFailure(const LauncherString& directory) const;

    Removal& removal_;
    StringList directories_;
    StringList failed_;
};

}  // namespace nv
