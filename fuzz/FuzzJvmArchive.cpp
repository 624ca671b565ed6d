// Feeds arbitrary records to the carried JVM archive reader: the first two
// bytes are the trailer's expanded size, the rest the inflated data, which is
// compressed here so that the records (not zlib's header check) meet the
// fuzzer; an odd first byte hands the rest over as compressed data instead.
// Every name the sink receives must be one the format allows.
#include <zlib.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "JvmArchiveFormat.h"
#include "JvmArchiveReader.h"

namespace {

class BytesSource : public nvjvm::CompressedSource {
public:
    explicit BytesSource(std::string bytes) : bytes_(std::move(bytes)) {}
    std::size_t read(unsigned char* buffer, std::size_t size) override {
        const std::size_t n = size < bytes_.size() - at_ ? size : bytes_.size() - at_;
        bytes_.copy(reinterpret_cast<char*>(buffer), n, at_);
        at_ += n;
        return n;
    }

private:
    std::string bytes_;
    std::size_t at_ = 0;
};

class CheckingSink : public nvjvm::ArchiveSink {
public:
    void directory(const std::string& name) override { check(name); }
    void beginFile(const std::string& name, std::uint64_t) override { check(name); }
    void fileData(const unsigned char*, std::size_t) override {}
    void endFile() override {}
    void jvmFile(const std::string&) override {}

private:
    static void check(const std::string& name) {
        if (nvjvm::nameProblem(name)) std::abort();
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    const std::uint64_t expandedSize = nvjvm::readNumber(data, 2);
    const std::string rest(reinterpret_cast<const char*>(data) + 2, size - 2);
    std::string compressed = rest;
    if ((data[0] & 1) == 0) {
        uLongf length = compressBound(rest.size());
        compressed.assign(length, '\0');
        if (compress2(reinterpret_cast<Bytef*>(&compressed[0]), &length, reinterpret_cast<const Bytef*>(rest.data()),
                      rest.size(), 1) != Z_OK) {
            return 0;
        }
        compressed.resize(length);
    }
    BytesSource source(compressed);
    CheckingSink sink;
    try {
        nvjvm::readJvmArchive(source, expandedSize, sink);
    } catch (const nvjvm::ArchiveError&) {
    }
    return 0;
}
