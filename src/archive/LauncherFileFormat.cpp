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
    for (std::uint16_t i = 0; i < nameLength; ++i) {
        int b = in.next();
        if (b < 0) break;  // a short name at the end of the file is not an error
        entry.name.append(static_cast<char>(b));
    }
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

// The big-endian number at `at` into value; false when it cannot be read.
bool readUint32At(RandomAccessBytes& file, long at, std::uint32_t& value) {
    unsigned char bytes[4];
    if (at < 0 || !file.readAt(at, bytes, 4)) return false;
    value = static_cast<std::uint32_t>(bytes[0]) << 24 | bytes[1] << 16 | bytes[2] << 8 | bytes[3];
    return true;
}

bool endsWithIdentification(RandomAccessBytes& file, long end) {
    std::uint32_t value = 0;
    return end >= trailerSize && readUint32At(file, end - 4, value) && value == identification;
}

}  // namespace

long checksumsStart(RandomAccessBytes& file, long indexOffset, std::int32_t count, std::int64_t dataEnd) {
    std::uint32_t written = 0;
    std::uint32_t magic = 0;
    if (count <= 0 || !readUint32At(file, indexOffset - 4, magic) || magic != checksumMagic ||
        !readUint32At(file, indexOffset - checksumBlockEnd, written) || written != static_cast<std::uint32_t>(count)) {
        return -1;
    }
    const std::int64_t start = static_cast<std::int64_t>(indexOffset) - checksumBlockEnd - 4 * std::int64_t{count};
    return start >= dataEnd && start >= 0 ? static_cast<long>(start) : -1;
}

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
