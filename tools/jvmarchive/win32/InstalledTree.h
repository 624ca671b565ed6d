#pragma once
// Writes the records of a carried JVM archive below one directory and, unless
// the whole archive arrived, removes again everything it created there.

#include <string>
#include <vector>

#include "JvmArchiveReader.h"
#include "foundation/win32/Handles.h"

namespace nvjvm {

class InstalledTree : public ArchiveSink {
public:
    // `root`: the destination directory, with its trailing "\". Nothing that
    // exists there is overwritten or removed: a file of the archive that
    // exists already is an error, an existing directory is used as it is
    // unless it is a link (a junction), which is an error too. Since the
    // reader hands on a name only after its directory's own record, every
    // directory below the root that a name passes through has been through
    // directory() first: created here, or found there and not a link.
    explicit InstalledTree(std::wstring root);
    // Removes what this object created, newest first, unless jvmFile
    // completed; names what it could not remove on standard error.
    ~InstalledTree() override;
    InstalledTree(const InstalledTree&) = delete;
    InstalledTree& operator=(const InstalledTree&) = delete;

    // Each throws SystemError (a full disk, a file that exists, a name
    // Windows refuses) or ArchiveError (a name that is not UTF-8).
    void directory(const std::string& name) override;
    void beginFile(const std::string& name, std::uint64_t size) override;
    void fileData(const unsigned char* data, std::size_t size) override;
    void endFile() override;
    // Writes the JVM file "jvm" last; from then on the tree stays.
    void jvmFile(const std::string& text) override;

private:
    std::wstring path(const std::string& name) const;
    void create(const std::string& name);
    void write(const void* data, std::size_t size);

    struct Created {
        std::wstring path;
        bool directory;
    };
    std::wstring root_;
    std::vector<Created> created_;
    nv::FileHandle file_;
    std::string fileName_;  // the file being written, for messages
    bool complete_ = false;
};

}  // namespace nvjvm
