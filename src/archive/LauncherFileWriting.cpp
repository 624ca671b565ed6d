// The writing half of the launcher file format (LauncherFileFormat.h), for
// nvpack and the tests. In a file of its own: the stub writes no launcher
// file, and an object it references nothing of is not linked into it.
#include "archive/LauncherFileFormat.h"

#include "foundation/Crc32.h"

namespace nv {
namespace format {

void appendUint32(std::string& out, std::uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<char>((value >> shift) & 0xFF));
}

void appendUint16(std::string& out, std::uint16_t value) {
    out.push_back(static_cast<char>((value >> 8) & 0xFF));
    out.push_back(static_cast<char>(value & 0xFF));
}

void appendIndexEntry(std::string& out, const FileIndexEntry& entry) {
    out.push_back(static_cast<char>(entry.type));
    appendUint32(out, static_cast<std::uint32_t>(entry.fileId));
    appendUint32(out, static_cast<std::uint32_t>(entry.length));
    appendUint32(out, static_cast<std::uint32_t>(entry.offset));
    appendUint16(out, static_cast<std::uint16_t>(entry.name.length()));
    out.append(entry.name.str());
    out.push_back(entry.compressed ? 1 : 0);
    if (entry.compressed) {
        appendUint32(out, static_cast<std::uint32_t>(entry.decompressedFileCount));
        appendUint32(out, static_cast<std::uint32_t>(entry.decompressedSize));
    }
}

void appendChecksums(std::string& out, const std::uint32_t* crcs, std::int32_t count, const std::string& tail) {
    std::string block;
    for (std::int32_t i = 0; i < count; ++i) appendUint32(block, crcs[i]);
    appendUint32(block, static_cast<std::uint32_t>(count));
    appendUint32(block, checksumMagic);
    Crc32 crc;
    crc.update(block.data(), block.size());
    crc.update(tail.data(), tail.size());
    appendUint32(out, crc.value());
    out += block;
}

void appendTrailer(std::string& out, std::uint8_t modeByte, std::uint32_t indexOffset) {
    out.push_back(static_cast<char>(modeByte));
    appendUint32(out, indexOffset);
    appendUint32(out, identification);
}

}  // namespace format
}  // namespace nv
