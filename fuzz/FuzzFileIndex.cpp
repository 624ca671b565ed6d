// Feeds arbitrary bytes to the file index reader: as a whole launcher file
// (trailer, count, entries), as a bare index, and to the checksum block's
// reader with an index offset, count and data end taken from the bytes.
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include <unistd.h>

#include "archive/LauncherFile.h"
#include "archive/LauncherFileFormat.h"
#include "foundation/CFile.h"
#include "foundation/LauncherException.h"

namespace {

struct MemorySource : nv::format::ByteSource {
    const std::uint8_t* data;
    std::size_t size;
    std::size_t pos = 0;
    MemorySource(const std::uint8_t* d, std::size_t s) : data(d), size(s) {}
    int next() override { return pos < size ? data[pos++] : -1; }
};

struct MemoryFile : nv::format::RandomAccessBytes {
    const std::uint8_t* data;
    std::size_t length;
    MemoryFile(const std::uint8_t* d, std::size_t s) : data(d), length(s) {}
    long size() override { return static_cast<long>(length); }
    bool readAt(long at, unsigned char* into, int count) override {
        if (at < 0 || count < 0 || static_cast<std::size_t>(at) + static_cast<std::size_t>(count) > length)
            return false;
        std::memcpy(into, data + at, static_cast<std::size_t>(count));
        return true;
    }
};

void readChecksums(const std::uint8_t* data, std::size_t size) {
    MemorySource head(data, size);
    try {
        const auto indexOffset = static_cast<std::int32_t>(nv::format::readUint32(head, ""));
        const auto count = static_cast<std::int32_t>(nv::format::readUint32(head, ""));
        const auto dataEnd = static_cast<std::int32_t>(nv::format::readUint32(head, ""));
        if (count <= 0) return;
        MemoryFile file(data, size);
        const nv::format::Checksums found = nv::format::findChecksums(file, dataEnd, indexOffset, count);
        // A block that is taken lies inside the file, after the data, ending at the index offset.
        if (found.entryCrcs >= 0 && (found.entryCrcs + 4L * count + nv::format::checksumBlockEnd != indexOffset ||
                                     static_cast<std::size_t>(indexOffset) > size || found.entryCrcs < dataEnd ||
                                     (found.indexCrc >= 0 && found.indexCrc < dataEnd))) {
            __builtin_trap();
        }
        MemoryFile whole(data, size);
        (void)nv::format::trailerEnd(whole);
    } catch (const nv::LauncherException&) {
    }
}

std::string scratchPath() { return "/tmp/nv_fuzz_index_" + std::to_string(::getpid()) + ".bin"; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    readChecksums(data, size);
    MemorySource index(data, size);
    try {
        for (int i = 0; i < 64; ++i) nv::format::readIndexEntry(index);
    } catch (const nv::LauncherException&) {
    }

    static const std::string path = scratchPath();
    {
        nv::CFile f = nv::openFile(path.c_str(), "wb");
        if (f) std::fwrite(data, 1, size, f.get());
    }
    nv::LauncherFile file{nv::LauncherString(path)};
    try {
        file.loadIndex();
        for (std::int32_t i = 0; i < file.entryCount(); ++i) (void)file.entryAt(i)->name.length();
    } catch (const nv::LauncherException&) {
    }
    (void)nv::readModeByte(nv::LauncherString(path));
    // Each input leaves no scratch file behind, also after the last one.
    std::remove(path.c_str());
    return 0;
}
