#include "PackedStub.h"

#include <cstddef>
#include <fstream>
#include <iterator>

#include "LauncherStub.h"
#include "archive/LauncherFileFormat.h"
#include "foundation/LauncherException.h"

namespace nvpack {

namespace {

std::string readAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw PackError("cannot open " + path);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) throw PackError("cannot read " + path);
    return bytes;
}

// The stub's bytes in memory: read on from a position (its payload index) or
// at any position (its certificate table).
class MemorySource : public nv::format::ByteSource, public nv::format::RandomAccessBytes {
public:
    explicit MemorySource(const std::string& bytes, std::size_t pos = 0) : bytes_(bytes), pos_(pos) {}
    int next() override { return pos_ < bytes_.size() ? static_cast<unsigned char>(bytes_[pos_++]) : -1; }
    long size() override { return static_cast<long>(bytes_.size()); }
    bool readAt(long position, unsigned char* into, int count) override {
        return nv::pe::MemoryBytes(bytes_).readAt(position, into, count);
    }

private:
    const std::string& bytes_;
    std::size_t pos_;
};

bool carriesPayload(const std::string& stub) {
    if (stub.size() < static_cast<std::size_t>(nv::format::trailerSize)) return false;
    MemorySource in(stub, stub.size() - 4);
    return nv::format::readUint32(in, "") == nv::format::identification;
}

// The size of the executable in front of an existing payload.
std::size_t stubLength(const std::string& stub) {
    MemorySource trailer(stub, stub.size() - 8);
    std::size_t end = nv::format::readUint32(trailer, "");
    if (end + nv::format::modeByteFromEnd > stub.size()) throw PackError("the stub's payload index is corrupt");
    try {
        MemorySource in(stub, end);
        auto count = static_cast<std::int32_t>(nv::format::readUint32(in, "the stub's payload index is corrupt"));
        for (std::int32_t i = 0; i < count; ++i) {
            nv::FileIndexEntry e = nv::format::readIndexEntry(in);
            if (e.offset >= 0 && static_cast<std::size_t>(e.offset) < end) end = static_cast<std::size_t>(e.offset);
        }
    } catch (const nv::LauncherException& e) {
        throw PackError(std::string("the stub's payload index is corrupt: ") + e.message().c_str());
    }
    return end;
}

}  // namespace

std::string packedStub(const PackRequest& request, const Branding& branding, const std::string& givenAs) {
    std::string stub = readAll(request.stub);
    // A payload appended after the signature would break it, and the launcher
    // looks for its trailer in front of the certificate table only.
    MemorySource stubFile(stub);
    if (nv::format::certificateTable(stubFile).size != 0) {
        throw PackError("the stub " + request.stub +
                        " carries a signature; pack an unsigned stub and sign the launcher file after packing");
    }
    if (carriesPayload(stub)) {
        if (!request.replacePayload) {
            throw PackError("the stub " + request.stub + " already carries a payload (use --replace to replace it)");
        }
        stub.resize(stubLength(stub));
    }
    // Only a branded launcher has its stub rewritten; any other carries the stub byte for byte.
    if (branding.any()) stub = brandStub(stub, request.stub, branding);
    // The stub as it ships; branding keeps what the check looks for.
    checkLauncherStub(stub, givenAs);
    return stub;
}

}  // namespace nvpack
