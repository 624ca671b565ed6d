#include "Packer.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <set>

#include "archive/LauncherFileFormat.h"
#include "foundation/LauncherException.h"

namespace nvpack {

namespace fs = std::filesystem;
using nv::format::largestPosition;

namespace {

std::int64_t fileSize(const std::string& path, const char* role) {
    std::error_code ec;
    if (!fs::is_regular_file(path, ec)) throw PackError(std::string(role) + " not found: " + path);
    auto size = fs::file_size(path, ec);
    if (ec) throw PackError(std::string("cannot read the size of ") + path + ": " + ec.message());
    return static_cast<std::int64_t>(size);
}

std::string readAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw PackError("cannot open " + path);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) throw PackError("cannot read " + path);
    return bytes;
}

// Reads the index of a stub that already carries a payload, from memory.
class MemorySource : public nv::format::ByteSource {
public:
    MemorySource(const std::string& bytes, std::size_t pos) : bytes_(bytes), pos_(pos) {}
    int next() override { return pos_ < bytes_.size() ? static_cast<unsigned char>(bytes_[pos_++]) : -1; }

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

void checkEntries(const PackRequest& request) {
    std::set<std::int64_t> ids;
    bool haveInstructions = false;
    bool haveLaunchScript = false;
    for (const PackEntry& e : request.entries) {
        const std::string which = "entry \"" + e.name + "\": ";
        if (e.type < 0 || e.type > nv::format::highestType) {
            throw PackError(which + "type " + std::to_string(e.type) + " is outside 0-7");
        }
        if (e.fileId < INT32_MIN || e.fileId > INT32_MAX) throw PackError(which + "file id does not fit in 32 bits");
        if (!ids.insert(e.fileId).second) throw PackError(which + "file id " + std::to_string(e.fileId) + " is used twice");
        if (e.type == nv::typeInstructions) {
            if (haveInstructions) throw PackError(which + "a second instruction program (type 0) would never be used");
            haveInstructions = true;
        }
        if (e.type == nv::typeLaunchScript) {
            if (haveLaunchScript) throw PackError(which + "a second launch script (type 2) would never be used");
            haveLaunchScript = true;
        }
        if (!nv::format::isSafeEntryName(nv::LauncherString(e.name))) {
            throw PackError(which + "the name must not be empty, be \".\" or \"..\", or hold \"\\\", \"/\", \":\" or control characters");
        }
        if (e.name.size() > nv::format::longestName) throw PackError(which + "the name is longer than 32767 bytes");
        if (e.compressed && (e.decompressedFileCount < 0 || e.decompressedFileCount > largestPosition ||
                             e.decompressedSize < 0 || e.decompressedSize > largestPosition)) {
            throw PackError(which + "the expanded file count and size must be 0 to 2147483647");
        }
        if (fileSize(e.source, "source file") > largestPosition) {
            throw PackError(which + "the source " + e.source + " is larger than 2147483647 bytes");
        }
    }
}

// Removes the temporary output unless the pack succeeded.
class TemporaryOutput {
public:
    explicit TemporaryOutput(std::string path) : path_(std::move(path)) {}
    ~TemporaryOutput() {
        if (!kept_) {
            std::error_code ec;
            fs::remove(path_, ec);
        }
    }
    TemporaryOutput(const TemporaryOutput&) = delete;
    TemporaryOutput& operator=(const TemporaryOutput&) = delete;
    const std::string& path() const { return path_; }
    void keep() { kept_ = true; }

private:
    std::string path_;
    bool kept_ = false;
};

void copyInto(std::ofstream& out, const std::string& source, std::int64_t expected) {
    std::ifstream in(source, std::ios::binary);
    if (!in) throw PackError("cannot open " + source);
    std::vector<char> buffer(1 << 20);
    std::int64_t copied = 0;
    while (in) {
        in.read(buffer.data(), static_cast<std::streamsize>(buffer.size()));
        std::streamsize n = in.gcount();
        if (n <= 0) break;
        out.write(buffer.data(), n);
        copied += n;
    }
    if (in.bad() || copied != expected) throw PackError("cannot read " + source + " whole");
}

}  // namespace

std::int64_t parseNumber(const std::string& text, const char* what) {
    std::size_t used = 0;
    long long value = 0;
    try {
        value = std::stoll(text, &used, 10);
    } catch (const std::exception&) {
        used = 0;
    }
    if (text.empty() || used != text.size()) throw PackError(std::string(what) + " is not a number: \"" + text + "\"");
    return value;
}

void pack(const PackRequest& request) {
    if (request.modeByte < 0 || request.modeByte > 255) throw PackError("the mode byte must be 0 to 255");
    if (request.output.empty()) throw PackError("no output file given");
    fileSize(request.stub, "stub");
    checkEntries(request);

    std::string stub = readAll(request.stub);
    if (carriesPayload(stub)) {
        if (!request.replacePayload) {
            throw PackError("the stub " + request.stub + " already carries a payload (use --replace to replace it)");
        }
        stub.resize(stubLength(stub));
    }

    std::vector<nv::FileIndexEntry> index;
    std::int64_t position = static_cast<std::int64_t>(stub.size());
    for (const PackEntry& e : request.entries) {
        std::int64_t size = fileSize(e.source, "source file");
        nv::FileIndexEntry entry;
        entry.type = static_cast<std::uint8_t>(e.type);
        entry.fileId = static_cast<std::int32_t>(e.fileId);
        entry.length = static_cast<std::int32_t>(size);
        entry.offset = static_cast<std::int32_t>(position);
        entry.name = nv::LauncherString(e.name);
        entry.compressed = e.compressed;
        entry.decompressedFileCount = static_cast<std::int32_t>(e.decompressedFileCount);
        entry.decompressedSize = static_cast<std::int32_t>(e.decompressedSize);
        index.push_back(std::move(entry));
        position += size;
        if (position > largestPosition) throw PackError("the launcher file would be larger than 2147483647 bytes");
    }
    std::string tail;
    nv::format::appendUint32(tail, static_cast<std::uint32_t>(index.size()));
    for (const nv::FileIndexEntry& e : index) nv::format::appendIndexEntry(tail, e);
    nv::format::appendTrailer(tail, static_cast<std::uint8_t>(request.modeByte), static_cast<std::uint32_t>(position));
    if (position + static_cast<std::int64_t>(tail.size()) > largestPosition) {
        throw PackError("the launcher file would be larger than 2147483647 bytes");
    }

    TemporaryOutput temp(request.output + ".nvpack-tmp");
    {
        std::ofstream out(temp.path(), std::ios::binary | std::ios::trunc);
        if (!out) throw PackError("cannot create " + temp.path());
        out.write(stub.data(), static_cast<std::streamsize>(stub.size()));
        for (std::size_t i = 0; i < index.size(); ++i) copyInto(out, request.entries[i].source, index[i].length);
        out.write(tail.data(), static_cast<std::streamsize>(tail.size()));
        out.flush();
        if (!out) throw PackError("cannot write " + temp.path() + " (disk full?)");
    }
    std::error_code ec;
    fs::rename(temp.path(), request.output, ec);
    if (ec) throw PackError("cannot create " + request.output + ": " + ec.message());
    temp.keep();
    // The stub's permissions (executable on the host) carry over.
    fs::permissions(request.output, fs::status(request.stub).permissions(), ec);
}

}  // namespace nvpack
