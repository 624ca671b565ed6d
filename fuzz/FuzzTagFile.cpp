// Feeds arbitrary bytes to the tag file reader, once as a whole file and once
// as a stretch inside a larger file, and reads back what the writer makes of
// the result.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include <unistd.h>

#include "foundation/CFile.h"
#include "foundation/LauncherException.h"
#include "tagfile/TagFile.h"

namespace {

void readWhole(std::FILE* file, const std::string& outPath) {
    nv::TagFile tags;
    try {
        tags.readFrom(file, "fuzz");
    } catch (const nv::LauncherException&) {
        return;
    }
    // Whatever parsed cleanly must be written out and read again without a crash.
    tags.write(nv::LauncherString(outPath));
    nv::TagFile back;
    try {
        back.load(nv::LauncherString(outPath));
    } catch (const nv::LauncherException&) {
    }
}

void readStretch(std::FILE* file, std::int32_t offset, std::int32_t length) {
    nv::TagFile tags;
    try {
        tags.readFrom(file, "fuzz", offset, length);
    } catch (const nv::LauncherException&) {
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::string outPath = "/tmp/fuzz_tagfile_" + std::to_string(getpid()) + ".tag";

    const nv::CFile whole(std::tmpfile());
    if (!whole) return 0;
    std::fwrite(data, 1, size, whole.get());
    readWhole(whole.get(), outPath);
    std::remove(outPath.c_str());

    // The same bytes between a prefix and a suffix of other tags, with a bound
    // taken from the first byte so that it falls inside, at and past the end.
    static const char prefix[] = "BEFORE:1\r\nBLOCK:\r\nx\r\n/:\r\n";
    static const char suffix[] = "AFTER: \"2\"\r\nOPEN:\r\n";
    const nv::CFile stretch(std::tmpfile());
    if (!stretch) return 0;
    std::fwrite(prefix, 1, sizeof prefix - 1, stretch.get());
    std::fwrite(data, 1, size, stretch.get());
    std::fwrite(suffix, 1, sizeof suffix - 1, stretch.get());
    const auto offset = static_cast<std::int32_t>(sizeof prefix - 1);
    const auto length = static_cast<std::int32_t>(size);
    readStretch(stretch.get(), offset, length);
    if (size > 0) readStretch(stretch.get(), offset, length - static_cast<std::int32_t>(data[0] % (size + 1)));
    return 0;
}
