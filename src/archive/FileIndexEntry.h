#pragma once
// One embedded file of the launcher file, as its index describes it.

#include <cstdint>
#include <memory>

#include "foundation/LauncherString.h"

namespace nv {

class TagFile;

enum FileType : std::uint8_t {
    typeInstructions = 0,
    typeJvmFile = 1,
    typeLaunchScript = 2,
    typeClassPathArchive = 3,
    typeCarriedJvm = 4,
    typeVerifyArchive = 5,
    typeApplicationArchive = 6,
    typeEmbeddedLauncher = 7,
};

struct FileIndexEntry {
    FileIndexEntry();
    ~FileIndexEntry();
    FileIndexEntry(FileIndexEntry&&) noexcept;
    FileIndexEntry& operator=(FileIndexEntry&&) noexcept;

    std::uint8_t type = 0;
    std::int32_t fileId = -1;
    std::int32_t length = 0;
    std::int32_t offset = 0;
    LauncherString name;
    bool compressed = false;
    std::int32_t decompressedFileCount = 0;
    std::int32_t decompressedSize = 0;
    // The parsed tag file, for types 0, 1 and 2 once dispatched; owned.
    std::unique_ptr<TagFile> content;
};

}  // namespace nv
