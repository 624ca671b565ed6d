#include "archive/LauncherFileFormat.h"

#include "foundation/FileName.h"
#include "foundation/LauncherException.h"

namespace nv {
namespace format {

const char indexDamaged[] = "The file index does not match its checksums.";
const char fileEndDamaged[] = "The launcher file does not end as it was packed.";

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

namespace {

// True when the `count` bytes at `at` are all zero (none for count 0).
bool zerosAt(RandomAccessBytes& file, long at, long count) {
    unsigned char byte = 0;
    for (long i = 0; i < count; ++i) {
        if (!file.readAt(at + i, &byte, 1) || byte != 0) return false;
    }
    return true;
}

}  // namespace

long trailerEnd(RandomAccessBytes& file) {
    const long size = file.size();
    long content = size;
    long end = size;
    const CertificateTable table = certificateTable(file);
    if (table.size != 0) {
        // A table that does not end the file: the download was cut or grown.
        if (table.position > static_cast<std::uint32_t>(size) ||
            static_cast<std::uint32_t>(size) - table.position != table.size) {
            throwLauncherException(fileEndDamaged);
        }
        content = end = static_cast<long>(table.position);
        // Signing aligns the table with up to 7 zeros.
        for (long zeros = 0;
             zeros < largestSignaturePadding && !endsWithIdentification(file, end) && zerosAt(file, end - 1, 1);
             ++zeros) {
            --end;
        }
    }
    if (endsWithIdentification(file, end)) return end;
    // No trailer: a bare stub, or a packed file that lost its end.
    const long image = stubEnd(file);
    if (image > 0 &&
        (content < image || content - image > largestSignaturePadding || !zerosAt(file, image, content - image))) {
        throwLauncherException(fileEndDamaged);
    }
    return 0;
}

Checksums findChecksums(RandomAccessBytes& file, std::int64_t dataEnd, long indexOffset, std::int32_t count) {
    Checksums found;
    std::uint32_t magic = 0;
    std::uint32_t written = 0;
    long blockStart = indexOffset;
    if (indexOffset - dataEnd >= checksumBlockEnd && readUint32At(file, indexOffset - 4, magic) &&
        (magic == checksumMagic || magic == entryChecksumMagic)) {
        const std::int64_t crcs = static_cast<std::int64_t>(indexOffset) - checksumBlockEnd - 4 * std::int64_t{count};
        if (!readUint32At(file, indexOffset - checksumBlockEnd, written) ||
            written != static_cast<std::uint32_t>(count)) {
            throwLauncherException(indexDamaged);
        }
        found.entryCrcs = static_cast<long>(crcs);
        blockStart = found.entryCrcs;
        if (magic == checksumMagic) {
            found.indexCrc = found.entryCrcs - indexChecksumSize;
            blockStart = found.indexCrc;
        }
    }
    // In front of the block (or of the index) only the zeros that align the file.
    const std::int64_t gap = blockStart - dataEnd;
    if (gap < 0 || gap > largestSignaturePadding ||
        !zerosAt(file, static_cast<long>(dataEnd), static_cast<long>(gap))) {
        throwLauncherException(indexDamaged);
    }
    return found;
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
