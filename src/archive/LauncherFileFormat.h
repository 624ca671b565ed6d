#pragma once
// The byte format of the launcher file: the trailer, the mode byte, the file
// index and the entries' checksums. The launcher reads it and nvpack writes
// it from this one definition. All numbers are big-endian.
//
//   [stub][entry data ...][0-7 zeros][checksums][index][mode byte][index offset: 4][0xCA82CA82: 4]
//   index:     count (4, signed), then per entry: type (1), file id (4),
//              length (4), offset (4), name length (2), name, compressed (1)
//              and, when compressed is 1, file count (4) and expanded size (4).
//   checksums: the CRC-32 (foundation/Crc32.h) of each entry's bytes (4 each,
//              in index order), their count (4) and "NVCK" (4), ending at the
//              index offset; none in a file without entries.
//
// The zeros end the file on an 8-byte boundary. Code signing appends the
// certificate table that the PE header's certificate data directory
// (foundation/PeLayout.h) points at, after up to 7 zero bytes that align it
// to 8:
//
//   [stub][entry data ...][zeros][checksums][index][mode][trailer][0-7 zeros][certificate table]
//
// A file packed before the checksums has none: its zeros sit right in front
// of the index. A launcher of that time reads a file with checksums as well,
// since it reads nothing between the entries' data and the index; a file
// without them loads as before and its entries are read unchecked. The block
// is taken only when its magic value and count match and it starts at or
// after the end of every entry's data, which fewer than 8 zeros never do.

#include <cstdint>
#include <string>

#include "archive/FileIndexEntry.h"
#include "foundation/PeLayout.h"

namespace nv {
namespace format {

constexpr std::uint32_t identification = 0xCA82CA82u;
constexpr long trailerSize = 8;      // index offset + identification
constexpr long modeByteFromEnd = 9;  // the byte in front of the trailer
constexpr std::uint8_t highestType = typeEmbeddedLauncher;
constexpr std::uint16_t longestName = 32767;
constexpr std::int64_t largestPosition = 0x7FFFFFFF;  // positions are signed 32-bit
constexpr long smallestIndexEntry = 16;               // type, id, length, offset, name length, compressed
constexpr std::uint32_t checksumMagic = 0x4E56434Bu;  // "NVCK"
constexpr long checksumBlockEnd = 8;                  // count + magic, after the CRC-32s

// A sequential source of bytes; next() yields 0..255, or -1 at the end.
class ByteSource {
public:
    virtual ~ByteSource() = default;
    virtual int next() = 0;
};

constexpr long payloadAlignment = 8;
constexpr long largestSignaturePadding = 7;

// A file read at any position (readAt), for finding where its payload ends.
class RandomAccessBytes : public pe::FileBytes {
public:
    virtual long size() = 0;
};

// Where the certificate table of a signed file lies; size 0 when the file
// is not signed or is no PE file.
struct CertificateTable {
    std::uint32_t position = 0;
    std::uint32_t size = 0;
};
CertificateTable certificateTable(RandomAccessBytes& file);

// Where the stub's image ends: the end of the furthest section's raw data,
// as the PE section table gives it; 0 for a file that is no PE file. An
// entry's data lies between this and the index.
long stubEnd(RandomAccessBytes& file);

// Where the trailer ends: the end of the file, or, when the file does not end
// with the identification value but with a certificate table, the start of
// that table less the zero bytes of its alignment, if the identification
// value is found there. Without either it is the end of the file, whose last
// bytes then are no trailer.
long trailerEnd(RandomAccessBytes& file);

// Where the CRC-32s of an index of `count` entries start, or -1 when the
// file has none: the count and magic value in front of indexOffset must
// match, and the block must start at or after dataEnd, the end of the
// furthest entry's data.
long checksumsStart(RandomAccessBytes& file, long indexOffset, std::int32_t count, std::int64_t dataEnd);

// Reads a big-endian number; throws LauncherException(message) when the
// source ends before all its bytes are read.
std::uint32_t readUint32(ByteSource& in, const char* message);
std::uint16_t readUint16(ByteSource& in, const char* message);

// Reads one index entry field by field; throws LauncherException with the
// message of the first field that is missing or invalid (a length or offset
// of 2^31 or more is invalid: positions are signed 32-bit).
FileIndexEntry readIndexEntry(ByteSource& in);

// Writers (LauncherFileWriting.cpp): append the encoded bytes to out.
void appendUint32(std::string& out, std::uint32_t value);
void appendUint16(std::string& out, std::uint16_t value);
void appendIndexEntry(std::string& out, const FileIndexEntry& entry);
// The checksum block: the CRC-32s in index order, their count, the magic.
void appendChecksums(std::string& out, const std::uint32_t* crcs, std::int32_t count);
// The mode byte followed by the trailer.
void appendTrailer(std::string& out, std::uint8_t modeByte, std::uint32_t indexOffset);

// Why a name cannot be written as a plain file below a directory, or null
// when it can: the words for each problem of fileNameProblem
// (foundation/FileName.h), which refuses empty names; names that lead
// elsewhere ("..", "\", "/", ":"); characters Windows does not allow in file
// names (<>"|?* and control characters, DEL too); a trailing dot or blank,
// which Windows drops; device names (CON, PRN, AUX, NUL, COM1-COM9,
// LPT1-LPT9, in any case, with or without an extension); names longer than
// 255 bytes.
const char* entryNameProblem(const LauncherString& name);

inline bool isSafeEntryName(const LauncherString& name) { return entryNameProblem(name) == nullptr; }

}  // namespace format
}  // namespace nv
