#include "archive/LauncherFileFormat.h"

#include "foundation/FileName.h"
#include "foundation/LauncherException.h"

namespace nv {
namespace format {

std::uint32_t readUint32(ByteSource& in, const char* message) {
    std::uint32_t value = 0;
    for (int i = 0; i < 4; ++i) {
        int b = in.next();
        if (b < 0) throwLauncherException(message);
        value = (value << 8) | static_cast<std::uint32_t>(b);
    }
    return value;
}

std::uint16_t readUint16(ByteSource& in, const char* message) {
    std::uint32_t value = 0;
    for (int i = 0; i < 2; ++i) {
        int b = in.next();
        if (b < 0) throwLauncherException(message);
        value = (value << 8) | static_cast<std::uint32_t>(b);
    }
    return static_cast<std::uint16_t>(value);
}

FileIndexEntry readIndexEntry(ByteSource& in) {
    FileIndexEntry entry;
    int type = in.next();
    if (type < 0 || type > highestType) throwLauncherException("Invalid file type in file index.");
    entry.type = static_cast<std::uint8_t>(type);
    entry.fileId = static_cast<std::int32_t>(readUint32(in, "Unable to load file id."));
    const std::uint32_t length = readUint32(in, "Unable to load file length.");
    if (length > largestPosition) throwLauncherException("Invalid file length in file index.");
    entry.length = static_cast<std::int32_t>(length);
    const std::uint32_t offset = readUint32(in, "Unable to load offset to file bytes.");
    if (offset > largestPosition) throwLauncherException("Invalid offset to file bytes in file index.");
    entry.offset = static_cast<std::int32_t>(offset);
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

namespace {

bool endsWithIdentification(RandomAccessBytes& file, long end) {
    unsigned char bytes[4];
    if (end < trailerSize || !file.readAt(end - 4, bytes, 4)) return false;
    const std::uint32_t value = static_cast<std::uint32_t>(bytes[0]) << 24 | bytes[1] << 16 | bytes[2] << 8 | bytes[3];
    return value == identification;
}

}  // namespace

CertificateTable certificateTable(RandomAccessBytes& file) {
    const pe::DataDirectory directory = pe::Headers(file).readDirectory(pe::certificateDirectory);
    CertificateTable table;
    table.position = directory.address;
    table.size = directory.size;
    return table;
}

long stubEnd(RandomAccessBytes& file) {
    const pe::Headers headers(file);
    pe::Section section;
    std::uint32_t end = 0;
    for (std::uint32_t i = 0; i < headers.sectionCount(); ++i) {
        if (!headers.readSection(i, section)) return 0;
        const std::uint32_t size = section.rawSize;
        const std::uint32_t position = section.rawOffset;
        if (size != 0 && position <= largestPosition && size <= largestPosition - position && position + size > end) {
            end = position + size;
        }
    }
    return static_cast<long>(end);
}

long trailerEnd(RandomAccessBytes& file) {
    const long size = file.size();
    if (endsWithIdentification(file, size)) return size;
    const CertificateTable table = certificateTable(file);
    if (table.size == 0 || table.position > static_cast<std::uint32_t>(size) ||
        static_cast<std::uint32_t>(size) - table.position != table.size) {
        return size;
    }
    long end = static_cast<long>(table.position);
    for (long zeros = 0; zeros <= largestSignaturePadding; ++zeros, --end) {
        if (endsWithIdentification(file, end)) return end;
        unsigned char last;
        if (!file.readAt(end - 1, &last, 1) || last != 0) break;
    }
    return size;
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

const char* entryNameProblem(const LauncherString& name) {
    // The words for each FileNameProblem, in its order.
    static const char* const words[] = {
        nullptr,
        "the name is empty",
        "the name stands for a directory",
        "the name holds a path",
        "the name holds one of the characters < > \" | ? *",
        "the name holds a control character",
        "the name ends in a dot or a blank",
        "the name is a device name",
        "the name is longer than 255 characters",
    };
    static_assert(sizeof words / sizeof *words == static_cast<std::size_t>(FileNameProblem::tooLong) + 1,
                  "a word each");
    return words[static_cast<int>(fileNameProblem(name.c_str(), name.length()))];
}

}  // namespace format
}  // namespace nv
