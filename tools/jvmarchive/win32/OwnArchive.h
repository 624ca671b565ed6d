#pragma once
// The compressed data appended to the running program, found by the trailer
// at the end of its own file (JvmArchiveFormat.h).

#include <cstdint>

#include "JvmArchiveReader.h"
#include "foundation/win32/Handles.h"

namespace nvjvm {

class OwnArchive : public CompressedSource {
public:
    // Opens the program's own file and reads its trailer. Throws
    // SystemError when the file cannot be read, ArchiveError when it carries
    // no archive or a damaged trailer.
    OwnArchive();

    // The sum of the file sizes the archive says it holds.
    std::uint64_t expandedSize() const { return expandedSize_; }

    // The next bytes of the data; 0 at its end. Throws SystemError.
    std::size_t read(unsigned char* buffer, std::size_t size) override;

private:
    nv::FileHandle file_;
    std::uint64_t left_ = 0;
    std::uint64_t expandedSize_ = 0;
};

}  // namespace nvjvm
