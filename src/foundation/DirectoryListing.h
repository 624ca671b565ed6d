#pragma once
// The entries of one directory, read one at a time through the system's file
// enumeration. Owns the enumeration handle and closes it on every path.

#include <cstdint>
#include <memory>

#include "foundation/LauncherString.h"

namespace nv {

// One directory entry: its name (no path), whether it is a directory,
// whether it is a reparse point (a junction or symbolic link) whose target
// lies elsewhere, and a file's size in bytes.
struct DirectoryEntry {
    LauncherString name;
    bool isDirectory = false;
    bool isReparsePoint = false;
    std::uint64_t size = 0;
};

class DirectoryListing {
public:
    // Starts enumerating directory + "*"; directory should end in a separator
    // (or be empty for the current directory). A directory that cannot be
    // enumerated gives a listing that is not open and has no entries.
    explicit DirectoryListing(const LauncherString& directory);
    ~DirectoryListing();
    DirectoryListing(const DirectoryListing&) = delete;
    DirectoryListing& operator=(const DirectoryListing&) = delete;

    bool isOpen() const;

    // Fills entry with the next entry, "." and ".." included; false when there
    // are no more. Throws LauncherException with the system's error text when
    // fetching an entry fails for another reason.
    bool next(DirectoryEntry& entry);

private:
    struct State;
    std::unique_ptr<State> state_;
};

}  // namespace nv
