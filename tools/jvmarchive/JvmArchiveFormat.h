#pragma once
// The byte format of a carried JVM archive: a Windows program of ours (the
// unpacker) with the compressed Java home appended. The packer (nvjvm) writes
// it and the unpacker reads it from this one definition. All numbers are
// big-endian.
//
//   [unpacker program][data: one zlib stream][trailer]
//   trailer (32 bytes): data offset (8), data length (8),
//                       expanded size (8), magic "NVJVMAR1" (8)
//   data, once inflated: records, each starting with its kind (1 byte):
//     'D' directory:  name length (2), name
//     'F' file:       name length (2), name, size (8), size bytes
//     'J' JVM file:   text length (4), text; always the last record
//
// Names are relative paths whose parts are separated by "\" (nameProblem
// says which are refused). A directory record comes before anything inside
// it: a record whose directory (its name up to the last "\", spelled the
// same) had no record of its own before it is refused, so that the unpacker
// never writes into a directory it has not checked (one there as a link).
// The expanded size is the sum of the file sizes; the unpacker checks the
// data against it and the disk's free space before writing.

#include <cstdint>
#include <string>
#include <string_view>

namespace nvjvm {

constexpr char magic[] = "NVJVMAR1";
constexpr std::size_t magicSize = 8;
constexpr std::size_t trailerSize = 32;

constexpr char directoryRecord = 'D';
constexpr char fileRecord = 'F';
constexpr char jvmFileRecord = 'J';

constexpr std::size_t longestName = 0xFFFF;      // fits the 2-byte length
constexpr std::size_t longestJvmText = 1 << 20;  // far above any real JVM file
// The JVM file the unpacker writes at the top of the directory.
constexpr char jvmFileName[] = "jvm";

// The unpacker's mark, by which nvjvm tells it from any other Windows program
// (a launcher in its place would be started as the carried JVM and wait for
// ever on a launcher that carries no payload): a resource of type RCDATA (10)
// named unpackerResource, in any language, whose data begins with
// unpackerMark. win32/JvmUnpacker.rc holds it. A resource, unlike a named
// section or a constant, survives the linker's removal of unused sections.
constexpr char unpackerResource[] = "NVJVM_UNPACKER";
constexpr char unpackerMark[] = "NVJVMAR1 unpacker";

// Why a relative name cannot be written below the destination directory, or
// null when it can. Each part must pass the file-name rule of
// foundation/FileName.h, which refuses an empty part (a rooted name, "\x");
// "." and ".."; "/" and ":" (drive letters, streams); <>"|?* and control
// characters (DEL too); a part ending in a dot or blank, which Windows drops;
// device names (CON, PRN, AUX, NUL, COM1-9, LPT1-9, in any case, with or
// without an extension); a part over 255 bytes. Refused besides: a name over
// longestName; "jvm" as the first part (in any case): the JVM file goes there.
const char* nameProblem(std::string_view name);

// Big-endian numbers.
void appendNumber(std::string& out, std::uint64_t value, int bytes);
std::uint64_t readNumber(const unsigned char* bytes, int count);

// The trailer's fields.
struct Trailer {
    std::uint64_t dataOffset = 0;
    std::uint64_t dataLength = 0;
    std::uint64_t expandedSize = 0;
};

std::string encodeTrailer(const Trailer& trailer);
// Reads the last trailerSize bytes of a file of fileSize bytes. Returns null
// and fills `trailer` when they are a trailer whose data lies between the
// program and the trailer; otherwise the reason.
const char* decodeTrailer(const unsigned char* bytes, std::uint64_t fileSize, Trailer& trailer);

}  // namespace nvjvm
