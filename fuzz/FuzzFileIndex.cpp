// Feeds arbitrary bytes to the file index reader: as a whole launcher file
// (trailer, count, entries) and as a bare index.
#include <cstdint>
#include <cstdio>
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

std::string scratchPath() { return "/tmp/nv_fuzz_index_" + std::to_string(::getpid()) + ".bin"; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
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
