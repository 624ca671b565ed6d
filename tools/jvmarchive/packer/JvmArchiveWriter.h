#pragma once
// Writes a carried JVM archive: the unpacker program, the runtime folder's
// records compressed into one zlib stream, and the trailer
// (JvmArchiveFormat.h).

#include <cstddef>
#include <cstdint>
#include <string>

#include "RuntimeFolder.h"

namespace nvjvm {

struct ArchiveFigures {
    std::size_t files = 0;
    std::size_t directories = 0;
    std::uint64_t folderBytes = 0;    // the runtime's file bytes
    std::uint64_t unpackerBytes = 0;  // the program in front of the data
    std::uint64_t archiveBytes = 0;   // the whole output file
};

// Writes `output` through a temporary file beside it that is renamed into
// place at the end, so that a failure leaves no output and an existing one
// as it was. Throws PackError for an unpacker that is missing, is no Windows
// program, already carries an archive or lacks the unpacker's mark
// (JvmArchiveFormat.h), a runtime file that cannot be read or changed size
// since readRuntimeFolder, and a failed write.
ArchiveFigures writeJvmArchive(const RuntimeFolder& runtime, const std::string& jvmText, const std::string& unpacker,
                               const std::string& output);

}  // namespace nvjvm
