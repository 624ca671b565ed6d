#pragma once
// A launcher file written byte by byte for the host tests: a small stub, the
// entries' data, their index and the trailer, with the entries' CRC-32s
// (zlib's, an independent count) when asked.

#include <zlib.h>

#include <cstdint>
#include <string>
#include <vector>

#include "archive/FileIndexEntry.h"
#include "archive/LauncherFileFormat.h"

namespace nv {

struct TestEntry {
    std::uint8_t type;
    std::int32_t id;
    std::string name;
    std::string data;
};

enum class EntryChecksums { none, recorded };

inline std::uint32_t zlibCrcOf(const std::string& bytes) {
    return static_cast<std::uint32_t>(
        crc32(0, reinterpret_cast<const Bytef*>(bytes.data()), static_cast<uInt>(bytes.size())));
}

// With `overrun`, the last entry claims that many bytes more than the file holds.
inline std::string launcherFileBytes(const std::vector<TestEntry>& entries,
                                     EntryChecksums checksums = EntryChecksums::none, std::size_t overrun = 0) {
    std::string bytes = "MZ stub";
    std::vector<FileIndexEntry> index;
    std::vector<std::uint32_t> crcs;
    for (const TestEntry& e : entries) {
        FileIndexEntry f;
        f.type = e.type;
        f.fileId = e.id;
        f.name = LauncherString(e.name);
        f.offset = static_cast<std::int32_t>(bytes.size());
        f.length = static_cast<std::int32_t>(e.data.size() + overrun);
        bytes += e.data;
        index.push_back(std::move(f));
        crcs.push_back(zlibCrcOf(e.data));
    }
    const bool withChecksums = checksums == EntryChecksums::recorded;
    const std::size_t block = withChecksums ? 4 + 4 * crcs.size() + 8 : 0;
    std::string tail;
    format::appendUint32(tail, static_cast<std::uint32_t>(index.size()));
    for (const auto& f : index) format::appendIndexEntry(tail, f);
    format::appendTrailer(tail, 1, static_cast<std::uint32_t>(bytes.size() + block));
    if (withChecksums) format::appendChecksums(bytes, crcs.data(), static_cast<std::int32_t>(crcs.size()), tail);
    bytes += tail;
    return bytes;
}

}  // namespace nv
