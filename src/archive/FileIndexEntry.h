#pragma once
// One embedded file of the launcher file, as its index describes it.

#include <cstdint>

#include "archive/EntryType.h"
#include "foundation/LauncherString.h"

namespace nv {

struct FileIndexEntry {
    std::uint8_t type = 0;  // an EntryType
    std::int32_t fileId = -1;
    std::int32_t length = 0;
    std::int32_t offset = 0;
    LauncherString name;
    bool compressed = false;
    std::int32_t decompressedFileCount = 0;
    std::int32_t decompressedSize = 0;
    // The CRC-32 of the entry's bytes, when the file records one (nvpack
    // does since the checksums came; older files are read unchecked).
    bool hasCrc = false;
    std::uint32_t crc = 0;
};

}  // namespace nv
