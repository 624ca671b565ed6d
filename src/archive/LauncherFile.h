#pragma once
// The launcher's own executable read as an archive of typed, numbered
// embedded files: the index, lookups in it, extraction and the mode byte.
// What a run makes of the files (the program, the launch script, the JVM
// files) is the launcher's RunContent (launcher/RunContent.h).

#include <cstdint>
#include <cstdio>

#include "archive/FileIndexEntry.h"
#include "foundation/LauncherString.h"
#include "foundation/ObjectList.h"
#include "foundation/StringList.h"

namespace nv {

class LauncherFile {
public:
    // The file at path is read (the running executable in a real run).
    explicit LauncherFile(const LauncherString& path);
    LauncherFile(const LauncherFile&) = delete;
    LauncherFile& operator=(const LauncherFile&) = delete;

    // Reads the trailer and the index once; a file without the
    // identification value has no entries. Writes one run-log line per
    // entry. Throws LauncherException with the format's message; the index
    // then stays unread.
    void loadIndex();
    bool loaded() const { return loaded_; }

    const LauncherString& path() const { return path_; }
    std::int32_t entryCount() const { return entries_.count(); }
    // The entry at 0..count-1, else null.
    FileIndexEntry* entryAt(std::int32_t position) const { return entries_.get(position); }
    // The first entry with this id, in index order, else null.
    FileIndexEntry* entryById(std::int32_t fileId) const;

    // Writes the entry's data into `directory` (empty: the current one) under
    // the entry's name and returns the path written. Throws LauncherException
    // for an unsafe name, too little room, a write error (MessageCode::
    // errorWritingFile and notEnoughTemporarySpace), a cancel (canceledByUser),
    // a launcher file that ends early or bytes that fail checkEntryCrc; the
    // partial or damaged target is then removed.
    LauncherString extract(const FileIndexEntry& entry, const LauncherString& directory);
    // Extracts every entry of `type`, in index order, into `directory` and
    // returns the paths written. Throws like extract.
    StringList extractType(std::uint8_t type, const LauncherString& directory);
    // The mode byte of this file (readModeByte).
    int modeByte() const;

private:
    LauncherString path_;
    ObjectList<FileIndexEntry> entries_;
    bool loaded_ = false;
};

// Throws LauncherException when the entry's name could lead outside the
// directory it is extracted into; the message says nothing was extracted.
void checkEntryName(const FileIndexEntry& entry);

// Throws LauncherException with MessageCode::launcherFileDamaged when the
// entry records a CRC-32 and `crc`, that of the bytes read, differs; the run
// log then names the entry and both values.
void checkEntryCrc(const FileIndexEntry& entry, std::uint32_t crc);

// Reads the entry's bytes from `file` (the launcher file, opened for binary
// reading) and checks them with checkEntryCrc; reads nothing when the entry
// records no CRC-32. Tag-file entries are checked so before they are parsed:
// a damaged one is reported as damaged, not by the syntax error it may make.
// Their few kilobytes are read twice; a parser that checked as it read would
// cost the stub some 500 bytes more.
void checkEntryBytes(const FileIndexEntry& entry, std::FILE* file);

// The mode byte of the file at path (0..255), or -1 when it cannot be read
// or the file has no trailer.
int readModeByte(const LauncherString& path);

}  // namespace nv
