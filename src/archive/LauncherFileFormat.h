#pragma once
// The byte format of the launcher file: the trailer, the mode byte, the file
// index and the checksums. The launcher reads it and nvpack writes it from
// this one definition. All numbers are big-endian.
//
//   [stub][entry data ...][0-7 zeros][checksums][index][mode byte][index offset: 4][0xCA82CA82: 4]
//   index:     count (4, signed), then per entry: type (1), file id (4),
//              length (4), offset (4), name length (2), name, compressed (1)
//              and, when compressed is 1, file count (4) and expanded size (4).
//   checksums: the index's CRC-32 (4), the CRC-32 of each entry's bytes (4
//              each, in index order), their count (4) and "NVC2" (4), ending
//              at the index offset; none in a file without entries. The
//              index's CRC-32 (foundation/Crc32.h) covers every byte after it
//              up to the end of the trailer: the entries' CRC-32s, the index,
//              the mode byte and the trailer.
//
// The zeros end the file on an 8-byte boundary. Code signing appends the
// certificate table that the PE header's certificate data directory
// (foundation/PeLayout.h) points at, after up to 7 zero bytes that align it
// to 8:
//
//   [stub][entry data ...][zeros][checksums][index][mode][trailer][0-7 zeros][certificate table]
//
// The signature covers the bytes in front of the table alone, so they are
// the launcher file's whole content: nothing inside or after the table is
// ever read as part of it.
//
// Files of older nvpacks stay readable with their old meaning. Those packed
// before any checksums have only the zeros between the entries' data and the
// index: they are read unchecked. Those packed with the entries' checksums
// alone have the block [CRC-32s][count]["NVCK"] there: their entries are
// checked, their index is not. Anything else between the data and the index
// (a block whose magic, count or place does not fit, bytes that are not
// zeros) is damage, never a reason to read a file unchecked.

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
constexpr std::int64_t largestPosition = 0x7FFFFFFF;       // positions are signed 32-bit
constexpr long smallestIndexEntry = 16;                    // type, id, length, offset, name length, compressed
constexpr std::uint32_t checksumMagic = 0x4E564332u;       // "NVC2": the index's CRC-32 and the entries'
constexpr std::uint32_t entryChecksumMagic = 0x4E56434Bu;  // "NVCK": the entries' alone, of older nvpacks
constexpr long checksumBlockEnd = 8;                       // count + magic, after the CRC-32s
constexpr long indexChecksumSize = 4;                      // in front of the entries' CRC-32s

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

// What the file index's and the trailer's damage is logged as.
extern const char indexDamaged[];    // the bytes in front of the index, or its CRC-32
extern const char fileEndDamaged[];  // a file cut short or grown

// Where the trailer ends; 0 when the file has none. Only the bytes in front
// of a certificate table are looked at: the trailer ends right there or, in
// a signed file, up to 7 zero bytes earlier. A PE file without a trailer is
// a bare stub only when nothing but up to 7 zeros follows its last section;
// a file that is no PE image without one has no payload. Throws
// LauncherException(fileEndDamaged) when a PE file holds more than that
// without a trailer or its certificate directory names a table that does
// not end the file.
long trailerEnd(RandomAccessBytes& file);

// The checksums of a launcher file, as its block in front of the index gives them.
struct Checksums {
    long entryCrcs = -1;  // where the entries' CRC-32s start; -1: none
    long indexCrc = -1;   // where the index's CRC-32 lies; -1: none
};

// Finds the checksums of an index of `count` entries (count > 0) at
// indexOffset, the furthest entry's data ending at dataEnd: between the two
// lie up to 7 zero bytes and then either nothing (a file packed before the
// checksums) or a whole block with one of the two magic values and this
// count. Throws LauncherException(indexDamaged) for anything else.
Checksums findChecksums(RandomAccessBytes& file, std::int64_t dataEnd, long indexOffset, std::int32_t count);

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
// The checksum block in front of `tail`, the index and the trailer that
// follow it: the index's CRC-32, the entries' CRC-32s in index order, their
// count and the magic.
void appendChecksums(std::string& out, const std::uint32_t* crcs, std::int32_t count, const std::string& tail);
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
