#pragma once
// Depth-first walk over a directory tree. A derived walker decides what a
// visit of a file does and which directories to leave unvisited; this one
// only counts the files and their bytes.

#include <cstdint>

#include "foundation/LauncherString.h"
#include "foundation/StringList.h"

namespace nv {

class DirectoryWalker {
public:
    // Whether a walk stops once the user has asked to cancel.
    enum class OnCancel { walkOn, stop };
    // Whether a walk enters a directory that is a reparse point (junction or
    // symbolic link). One kept out of is handed to visitLink: its content
    // belongs to another tree, which a walk may have no business in.
    enum class OnLink { enter, keepOut };

    explicit DirectoryWalker(OnCancel onCancel, OnLink onLink = OnLink::enter)
        : stopOnCancel_(onCancel == OnCancel::stop), enterLinks_(onLink == OnLink::enter) {}
    virtual ~DirectoryWalker() = default;
    DirectoryWalker(const DirectoryWalker&) = delete;
    DirectoryWalker& operator=(const DirectoryWalker&) = delete;

    // Visits every file under root, a pending directory taken last in, first
    // out, until a visit asks to stop or the walk is cancelled. Steps the
    // progress bar by 1 for every 100 files. A directory that cannot be opened
    // is passed over. Returns the last answer of visitFile (false when no file
    // was visited). Throws LauncherException with the system's error text when
    // reading a directory fails part-way. Not safe for concurrent use.
    virtual bool walk(const LauncherString& root);

    // Called with the full path of each file; true stops the walk. Walks on
    // by default: a walk that only counts (fileCount, byteCount).
    virtual bool visitFile(const LauncherString& path);

    // Called with each directory as the walk takes it up, root first, before
    // skipDirectory: ending in "\" (an empty root stays empty), skipped ones
    // included. Does nothing by default; the walk itself keeps only the
    // directories still to be listed, so a walker that needs them all again
    // records them here.
    virtual void visitDirectory(const LauncherString& directory);

    // True leaves the content of this directory (ending in "\") unvisited.
    virtual bool skipDirectory(const LauncherString& directory);

    // Called with the full path (no trailing "\") of each linked directory
    // that the walk keeps out of; does nothing by default.
    virtual void visitLink(const LauncherString& path);

    // The number of files visited in the last walk, and their bytes.
    std::uint32_t fileCount() const { return fileCount_; }
    std::uint64_t byteCount() const { return byteCount_; }

private:
    bool cancelled() const;

    StringList pending_;
    std::uint32_t fileCount_ = 0;
    std::uint64_t byteCount_ = 0;
    const bool stopOnCancel_;
    const bool enterLinks_;
};

}  // namespace nv
