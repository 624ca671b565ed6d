#include "archive/LauncherFileLayout.h"

#include <utility>

#include "archive/LauncherFileFormat.h"

namespace nv {
namespace format {

bool layOutLauncherFile(std::int64_t stubSize, std::vector<FileIndexEntry> entries, std::uint8_t modeByte,
                        LauncherFileLayout& layout) {
    std::int64_t position = stubSize;
    for (FileIndexEntry& entry : entries) {
        entry.offset = static_cast<std::int32_t>(position);
        position += entry.length;
        if (position > largestPosition) return false;
    }
    layout.index = std::move(entries);
    layout.tail.clear();
    appendUint32(layout.tail, static_cast<std::uint32_t>(layout.index.size()));
    for (const FileIndexEntry& entry : layout.index) appendIndexEntry(layout.tail, entry);
    // The CRC-32s go in front of the index, where launchers of before them
    // read nothing; they are known once the entries are copied.
    layout.checksums = layout.index.empty() ? 0
                                            : static_cast<std::size_t>(indexChecksumSize) + 4 * layout.index.size() +
                                                  static_cast<std::size_t>(checksumBlockEnd);
    const auto alignment = static_cast<std::size_t>(payloadAlignment);
    const std::size_t unaligned =
        static_cast<std::size_t>(position) + layout.checksums + layout.tail.size() + modeByteFromEnd;
    layout.padding = (alignment - unaligned % alignment) % alignment;
    layout.indexOffset = position + static_cast<std::int64_t>(layout.padding + layout.checksums);
    appendTrailer(layout.tail, modeByte, static_cast<std::uint32_t>(layout.indexOffset));
    return layout.size() <= largestPosition;
}

}  // namespace format
}  // namespace nv
