#pragma once
// The launcher's own executable read as an archive of typed, numbered
// embedded files. One exists per process.

#include <cstdint>

#include "archive/FileIndexEntry.h"
#include "foundation/LauncherString.h"
#include "foundation/ObjectList.h"

namespace nv {

class LauncherFile {
public:
    // The file at path is read (the running executable in a real run).
    explicit LauncherFile(const LauncherString& path);
    virtual ~LauncherFile();
    LauncherFile(const LauncherFile&) = delete;
    LauncherFile& operator=(const LauncherFile&) = delete;

    // Reads the trailer and the index once; a file without the
    // identification value has no entries. Writes one run-log line per entry
    // and, with dispatch, hands the entries to dispatchEntries(). Throws
    // LauncherException with the format's message; the index then stays unread.
    void loadIndex(bool dispatch);
    bool loaded() const { return loaded_; }

    const LauncherString& path() const { return path_; }
    std::int32_t entryCount() const { return entries_.count(); }
    // The entry at 0..count-1, else null.
    FileIndexEntry* entryAt(std::int32_t position) const { return entries_.get(position); }
    // The first entry with this id, in index order, else null.
    FileIndexEntry* entryById(std::int32_t fileId) const;

protected:
    // Turns the entries into the run's configuration; nothing here.
    virtual void dispatchEntries() {}

private:
    LauncherString path_;
    ObjectList<FileIndexEntry> entries_;
    bool loaded_ = false;
};

// The mode byte of the file at path (0..255), or -1 when it cannot be read.
int readModeByte(const LauncherString& path);

// The mode byte of the launcher's own file; a successful read is remembered.
int launcherModeByte(const LauncherString& launcherPath);

}  // namespace nv
