#pragma once
// Where the parts of a launcher file lie (LauncherFileFormat.h), worked out
// before a byte of it is written. For nvpack and the tests: the stub writes
// no launcher file, and this is not linked into it.

#include <cstdint>
#include <string>
#include <vector>

#include "archive/FileIndexEntry.h"

namespace nv {
namespace format {

struct LauncherFileLayout {
    std::vector<FileIndexEntry> index;  // the entries in order, each with its offset
    std::size_t padding = 0;            // zeros after the entries' data
    std::size_t checksums = 0;          // the checksum block's size; 0 without entries
    std::int64_t indexOffset = 0;       // where the index starts, after the zeros and the checksums
    std::string tail;                   // the index, the mode byte and the trailer

    std::int64_t size() const { return indexOffset + static_cast<std::int64_t>(tail.size()); }
};

// Lays out a stub of `stubSize` bytes followed by `entries` (type, id, length
// and name given; their offsets are set here) and `modeByte`: the zeros end
// the file on payloadAlignment, so that signing appends its certificate
// table right after the trailer. Returns false when a position would pass
// largestPosition.
bool layOutLauncherFile(std::int64_t stubSize, std::vector<FileIndexEntry> entries, std::uint8_t modeByte,
                        LauncherFileLayout& layout);

}  // namespace format
}  // namespace nv
