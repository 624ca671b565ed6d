#include "archive/LauncherFileFormat.h"

#include "foundation/LauncherException.h"

namespace nv {
namespace format {

std::uint32_t readUint32(ByteSource& in, const char* message) {
    std::uint32_t value = 0;
    for (int i = 0; i < 4; ++i) {
        int b = in.next();
        if (b < 0) throw LauncherException(message);
        value = (value << 8) | static_cast<std::uint32_t>(b);
    }
    return value;
}

std::uint16_t readUint16(ByteSource& in, const char* message) {
    std::uint32_t value = 0;
    for (int i = 0; i < 2; ++i) {
        int b = in.next();
        if (b < 0) throw LauncherException(message);
        value = (value << 8) | static_cast<std::uint32_t>(b);
    }
    return static_cast<std::uint16_t>(value);
}

FileIndexEntry readIndexEntry(ByteSource& in) {
    FileIndexEntry entry;
    int type = in.next();
    if (type < 0 || type > highestType) throw LauncherException("Invalid file type in file index.");
    entry.type = static_cast<std::uint8_t>(type);
    entry.fileId = static_cast<std::int32_t>(readUint32(in, "Unable to load file id."));
    entry.length = static_cast<std::int32_t>(readUint32(in, "Unable to load file length."));
    entry.offset = static_cast<std::int32_t>(readUint32(in, "Unable to load offset to file bytes."));
    std::uint16_t nameLength = readUint16(in, "Unable to load the string value.");
    // A length with the top bit set is negative as a signed 16-bit count: no name bytes.
    if (nameLength > longestName) nameLength = 0;
    std::string name;
    for (std::uint16_t i = 0; i < nameLength; ++i) {
        int b = in.next();
        if (b < 0) break;  // a short name at the end of the file is not an error
        name.push_back(static_cast<char>(b));
    }
    entry.name = LauncherString(name);
    int compressed = in.next();
    entry.compressed = compressed == 1;
    if (entry.compressed) {
        entry.decompressedFileCount =
            static_cast<std::int32_t>(readUint32(in, "Unable to load decompressed file count."));
        entry.decompressedSize = static_cast<std::int32_t>(readUint32(in, "Unable to load decompressed size."));
    }
    return entry;
}

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

void appendTrailer(std::string& out, std::uint8_t modeByte, std::uint32_t indexOffset) {
    out.push_back(static_cast<char>(modeByte));
    appendUint32(out, indexOffset);
    appendUint32(out, identification);
}

bool isSafeEntryName(const LauncherString& name) {
    if (name.empty() || name == LauncherString(".") || name == LauncherString("..")) return false;
    if (name.findFirstOf(LauncherString("\\/:")) != LauncherString::npos) return false;
    // Windows drops trailing dots and blanks: "..." or ". ." could still mean the parent.
    if (name.findFirstNotOf(LauncherString(". ")) == LauncherString::npos) return false;
    for (LauncherString::size_type i = 0; i < name.length(); ++i) {
        if (static_cast<unsigned char>(name[i]) < 32) return false;
    }
    return true;
}

}  // namespace format
}  // namespace nv
