#pragma once
// The launcher's own executable read as an archive of typed, numbered
// embedded files. One exists per process.

#include <cstdint>

#include <memory>

#include "archive/FileIndexEntry.h"
#include "foundation/LauncherString.h"
#include "foundation/ObjectList.h"
#include "jvm/JvmSearch.h"
#include "launch/LauncherPayload.h"


namespace nv {

class Instructions;
class LaunchScript;
class TagFile;

class LauncherFile : public LauncherPayload {
public:
    // The file at path is read (the running executable in a real run).
    explicit LauncherFile(const LauncherString& path);
    ~LauncherFile() override;
    LauncherFile(const LauncherFile&) = delete;
    LauncherFile& operator=(const LauncherFile&) = delete;

    // Extracts every entry of `type`, in index order, into `directory`.
    StringList extractType(std::uint8_t type, const LauncherString& directory) override;
    int modeByte() const override;

    // Reads the trailer and the index once; a file without the
    // identification value has no entries. Writes one run-log line per entry
    // and, with dispatch, dispatches them; a later call with dispatch
    // dispatches an index read without it. Throws LauncherException with the
    // format's message; the index then stays unread.
    void loadIndex(bool dispatch);
    bool loaded() const { return loaded_; }

    const LauncherString& path() const { return path_; }
    std::int32_t entryCount() const { return entries_.count(); }
    // The entry at 0..count-1, else null.
    FileIndexEntry* entryAt(std::int32_t position) const { return entries_.get(position); }
    // The first entry with this id, in index order, else null.
    FileIndexEntry* entryById(std::int32_t fileId) const;

    // The embedded files' meaning (EmbeddedFiles.cpp).

    // Parses the entries of types 0, 1 and 2 as tag files and builds the
    // instruction program, the JVM files and the launch script from them,
    // keeping what an input file set already. Throws LauncherException with
    // the context MessageCode::errorLoadingInstructions, errorLoadingLaunchScript
    // or errorLoadingJvmFile.
    void dispatch();
    // Loads what an input file names (INSTRUCTIONS, LAUNCHSCRIPT,
    // VERIFY_CLASSPATH, VERIFY_CLASS_NAME, UI_TITLE, JVM); these win over
    // the embedded ones. Throws like dispatch.
    void readNamedEntries(const TagFile& input);
    // Writes the entry's data into `directory` (empty: the current one) under
    // the entry's name and returns the path written. Throws LauncherException
    // for an unsafe name, too little room, a write error (MessageCode::
    // errorWritingFile and notEnoughTemporarySpace), a cancel (canceledByUser)
    // or a launcher file that ends early; the
    // partial target is then removed.
    LauncherString extract(const FileIndexEntry& entry, const LauncherString& directory);
    // Extracts every entry into the current directory and writes input.tag
    // naming the tag files. Throws LauncherException.
    void extractAll();
    // Parses the tag file at `path` and keeps it for the rest of the run.
    TagFile& loadTagFile(const LauncherString& path);

    Instructions* instructions() const { return instructions_.get(); }
    LaunchScript* launchScript() const { return launchScript_.get(); }
    JvmSearch& jvmSearch() { return jvmSearch_; }
    bool jvmDescriptionsGiven() const { return jvmDescriptionsGiven_; }

private:
    void useInstructions(const TagFile& tags);
    void useLaunchScript(TagFile& tags);
    void addJvmFile(TagFile& tags);

    LauncherString path_;
    ObjectList<FileIndexEntry> entries_;
    bool loaded_ = false;
    bool dispatched_ = false;
    bool titleGiven_ = false;  // an input file's UI_TITLE was set
    std::unique_ptr<Instructions> instructions_;
    std::unique_ptr<LaunchScript> launchScript_;
    JvmSearch jvmSearch_;
    ObjectList<TagFile> loadedTagFiles_;
    bool jvmDescriptionsGiven_ = false;
};

// Sets the progress window's title from a text with \uXXXX escapes, which
// are converted to the ANSI code page; in silent mode too.
void setWindowTitleFromText(const LauncherString& text);

// The mode byte of the file at path (0..255), or -1 when it cannot be read
// or the file has no trailer.
int readModeByte(const LauncherString& path);

}  // namespace nv
