#include "Packer.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <set>

#include "ContentCheck.h"
#include "LauncherStub.h"
#include "OutputCheck.h"
#include "archive/LauncherFileFormat.h"
#include "foundation/AsciiCase.h"
#include "foundation/CFile.h"
#include "foundation/Crc32.h"
#include "foundation/LauncherException.h"
#include "foundation/ScopeGuard.h"

#ifndef O_BINARY
#define O_BINARY 0  // POSIX files have no text mode
#endif

namespace nvpack {

namespace fs = std::filesystem;
using nv::format::largestPosition;

namespace {

// The size of the file at `path`; throws PackError "<what> not found: <path>"
// when there is no such file.
std::int64_t fileSize(const std::string& path, const std::string& what) {
    std::error_code ec;
    if (!fs::is_regular_file(path, ec)) throw PackError(what + " not found: " + path);
    auto size = fs::file_size(path, ec);
    if (ec) throw PackError(std::string("cannot read the size of ") + path + ": " + ec.message());
    return static_cast<std::int64_t>(size);
}

// Opens `path` for binary writing only when this call creates it: an
// existing file or link there is never opened. Null (errno set) otherwise.
nv::CFile createNewFile(const std::string& path) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_BINARY, 0644);
    if (fd < 0) return nv::CFile();
    nv::CFile file(::fdopen(fd, "wb"));
    if (!file) ::close(fd);
    return file;
}

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

// An entry as messages name it: where a manifest gives it, its name, type and id.
std::string describe(const PackEntry& e) {
    return (e.place.empty() ? "" : e.place + ": ") + "entry " + quotedName(e.name) + " (type " +
           std::to_string(e.type) + ", id " + std::to_string(e.fileId) + ")";
}

// Types 0-2 are read as tag files. A jar there fails as a tag file with a
// syntax error that does not say what is wrong: the entry's type.
void checkTagFileTypes(const PackRequest& request) {
    for (const PackEntry& e : request.entries) {
        if (e.type > nv::typeLaunchScript) continue;
        char start[4] = {};
        std::ifstream(e.source, std::ios::binary).read(start, sizeof start);
        if (std::memcmp(start, "PK\3\4", 4) != 0 && std::memcmp(start, "PK\5\6", 4) != 0) continue;
        throw PackError(describe(e) + ": " + e.source +
                        " is a zip archive (a jar), not a tag file: types 0, 1 and 2 are tag files, and a jar belongs "
                        "in type 3 (class path archive) or 6 (application archive)");
    }
}

}  // namespace

std::string quotedName(const std::string& name) {
    std::string out = "\"";
    for (char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 32 || byte == 127) {
            const char hex[] = "0123456789ABCDEF";
            out += "\\x";
            out += hex[byte >> 4];
            out += hex[byte & 15];
        } else {
            out += c;
        }
    }
    return out + "\"";
}

std::string shownAs(const PackRequest& request, const std::string& setting, const char* option,
                    const std::string& value) {
    const auto given = request.givenAs.find(setting);
    return given != request.givenAs.end() ? given->second : option + (" " + value);
}

namespace {

// Returns true when the request carries an instruction program.
bool checkEntries(const PackRequest& request) {
    std::set<std::int64_t> ids;
    std::map<std::string, std::string> names;  // folded name -> name as given
    bool haveInstructions = false;
    bool haveLaunchScript = false;
    for (const PackEntry& e : request.entries) {
        const std::string which = (e.place.empty() ? "" : e.place + ": ") + "entry " + quotedName(e.name) + ": ";
        if (e.type < 0 || e.type > nv::format::highestType) {
            throw PackError(which + "type " + std::to_string(e.type) + " is outside 0-7");
        }
        if (e.fileId < INT32_MIN || e.fileId > INT32_MAX) throw PackError(which + "file id does not fit in 32 bits");
        if (!ids.insert(e.fileId).second)
            throw PackError(which + "file id " + std::to_string(e.fileId) + " is used twice");
        if (e.type == nv::typeInstructions) {
            if (haveInstructions) throw PackError(which + "a second instruction program (type 0) would never be used");
            haveInstructions = true;
        }
        if (e.type == nv::typeLaunchScript) {
            if (haveLaunchScript) throw PackError(which + "a second launch script (type 2) would never be used");
            haveLaunchScript = true;
        }
        // The launcher writes entries out under their names (-nv:extract and
        // extraction before a run), so a name Windows cannot hold is refused here.
        if (const char* problem = nv::format::entryNameProblem(nv::LauncherString(e.name))) {
            throw PackError(which + problem);
        }
        // Windows compares file names without regard to case.
        const std::string key = nv::upperAscii(e.name);
        if (key == "INPUT.TAG") {
            throw PackError(which +
                            "input.tag is the name of the input file that -nv:extract writes beside the entries");
        }
        auto known = names.emplace(key, e.name);
        if (!known.second) {
            throw PackError(which + "the name differs from entry " + quotedName(known.first->second) +
                            " only in case, and Windows would write both into one file");
        }
        if (fileSize(e.source, describe(e) + ": source file") > largestPosition) {
            throw PackError(which + "the source " + e.source + " is larger than 2147483647 bytes");
        }
    }
    return haveInstructions;
}

// Writes `size` bytes to `out`; throws PackError naming `output` (as the
// user gave it), `temp` and the system's reason when that fails.
void writeBytes(std::FILE* out, const char* bytes, std::size_t size, const std::string& output,
                const std::string& temp) {
    if (size != 0 && std::fwrite(bytes, 1, size, out) != size) {
        throw PackError(output + ": cannot write " + temp + ": " + std::strerror(errno));
    }
}

// Copies the entry's source into `out` and returns the CRC-32 of the bytes written.
std::uint32_t copyInto(std::FILE* out, const PackEntry& entry, std::int64_t expected, const std::string& output,
                       const std::string& temp) {
    std::ifstream in(entry.source, std::ios::binary);
    if (!in) throw PackError(describe(entry) + ": cannot open " + entry.source);
    std::vector<char> buffer(1 << 20);
    std::int64_t copied = 0;
    nv::Crc32 crc;
    while (in) {
        in.read(buffer.data(), static_cast<std::streamsize>(buffer.size()));
        std::streamsize n = in.gcount();
        if (n <= 0) break;
        writeBytes(out, buffer.data(), static_cast<std::size_t>(n), output, temp);
        crc.update(buffer.data(), static_cast<std::size_t>(n));
        copied += n;
    }
    if (in.bad() || copied != expected) throw PackError(describe(entry) + ": cannot read " + entry.source + " whole");
    return crc.value();
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

void claimSetting(PackRequest& request, const std::string& setting, const std::string& place) {
    auto given = request.givenAt.emplace(setting, place);
    if (!given.second) {
        throw PackError(setting + " is given twice, by " + given.first->second + " and by " + place +
                        "; give each setting in one place");
    }
}

PackResult pack(const PackRequest& request) {
    if (request.modeByte < 0 || request.modeByte > 255) throw PackError("the mode byte must be 0 to 255");
    if (request.output.empty()) throw PackError("no output file given");
    const std::string output = shownAs(request, "the output file", "--out", request.output);
    const std::string stubGivenAs = shownAs(request, "the stub", "--stub", request.stub);
    // Written beside the output and renamed over it only when whole: a
    // refusal on the way removes the temporary file and leaves an existing
    // output as it was.
    const std::string temp = request.output + ".nvpack-tmp";
    checkOutput(request, temp);
    std::error_code ec;
    if (!fs::is_regular_file(request.stub, ec)) throw PackError(stubGivenAs + ": stub not found");
    const bool haveInstructions = checkEntries(request);
    if (request.checkContents) checkTagFileTypes(request);
    const std::vector<std::string> contentWarnings =
        request.checkContents ? checkContents(request) : std::vector<std::string>();

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
    const Branding branding = namedAfterOutput(request.branding, request.output);
    if (branding.any()) stub = brandStub(stub, request.stub, branding);
    // The stub as it ships; branding keeps what the check looks for.
    checkLauncherStub(stub, stubGivenAs);

    PackResult result;
    std::vector<nv::FileIndexEntry> index;
    std::int64_t position = static_cast<std::int64_t>(stub.size());
    for (const PackEntry& e : request.entries) {
        std::int64_t size = fileSize(e.source, describe(e) + ": source file");
        nv::FileIndexEntry entry;
        entry.type = static_cast<std::uint8_t>(e.type);
        entry.fileId = static_cast<std::int32_t>(e.fileId);
        entry.length = static_cast<std::int32_t>(size);
        entry.offset = static_cast<std::int32_t>(position);
        entry.name = nv::LauncherString(e.name);
        index.push_back(std::move(entry));
        position += size;
        if (position > largestPosition) throw PackError("the launcher file would be larger than 2147483647 bytes");
        result.report += "entry: type " + std::to_string(e.type) + ", id " + std::to_string(e.fileId) + ", name " +
                         quotedName(e.name) + ", " + std::to_string(size) + " bytes\n";
    }
    result.report += brandingReport(branding);
    std::string tail;
    nv::format::appendUint32(tail, static_cast<std::uint32_t>(index.size()));
    for (const nv::FileIndexEntry& e : index) nv::format::appendIndexEntry(tail, e);
    // The CRC-32s go in front of the index, where launchers of before them
    // read nothing; they are known once the entries are copied.
    const std::size_t checksums = index.empty()
                                      ? 0
                                      : static_cast<std::size_t>(nv::format::indexChecksumSize) + 4 * index.size() +
                                            static_cast<std::size_t>(nv::format::checksumBlockEnd);
    // Zeros in front of them end the file on an 8-byte boundary, so that
    // signing appends its certificate table right after the trailer.
    const auto alignment = static_cast<std::size_t>(nv::format::payloadAlignment);
    const std::size_t padding =
        (alignment -
         (static_cast<std::size_t>(position) + checksums + tail.size() + nv::format::modeByteFromEnd) % alignment) %
        alignment;
    position += static_cast<std::int64_t>(padding + checksums);
    nv::format::appendTrailer(tail, static_cast<std::uint8_t>(request.modeByte), static_cast<std::uint32_t>(position));
    if (position + static_cast<std::int64_t>(tail.size()) > largestPosition) {
        throw PackError("the launcher file would be larger than 2147483647 bytes");
    }

    if (!request.dryRun) {
        // A leftover of an earlier run, or a link planted under this name, goes
        // first (a link itself, never what it points at); the file is then
        // made anew or not at all.
        fs::remove(temp, ec);
        nv::CFile out = createNewFile(temp);
        if (!out) throw PackError(output + ": cannot create " + temp + ": " + std::strerror(errno));
        nv::ScopeGuard removeTemp([&temp] {
            std::error_code ignored;
            fs::remove(temp, ignored);
        });
        writeBytes(out.get(), stub.data(), stub.size(), output, temp);
        std::vector<std::uint32_t> crcs;
        for (std::size_t i = 0; i < index.size(); ++i)
            crcs.push_back(copyInto(out.get(), request.entries[i], index[i].length, output, temp));
        std::string block(padding, '\0');
        if (checksums != 0) {
            nv::format::appendChecksums(block, crcs.data(), static_cast<std::int32_t>(crcs.size()), tail);
        }
        writeBytes(out.get(), block.data(), block.size(), output, temp);
        writeBytes(out.get(), tail.data(), tail.size(), output, temp);
        if (!nv::closeFile(out)) throw PackError(output + ": cannot write " + temp + ": " + std::strerror(errno));
        // The stub's permissions (executable on the host) carry over.
        fs::permissions(temp, fs::status(request.stub).permissions(), ec);
        fs::rename(temp, request.output, ec);
        if (ec) throw PackError(output + ": cannot replace " + request.output + " by " + temp + ": " + ec.message());
        removeTemp.dismiss();
    } else {
        // Without trying to create it, a missing folder is what shows.
        const fs::path folder = fs::path(request.output).parent_path();
        if (!folder.empty() && !fs::is_directory(folder, ec)) {
            throw PackError(output + ": cannot create " + temp + ": " +
                            std::strerror(fs::exists(folder, ec) ? ENOTDIR : ENOENT));
        }
    }

    const std::int64_t payload =
        position - static_cast<std::int64_t>(stub.size()) + static_cast<std::int64_t>(tail.size());
    result.report += "total: " + std::to_string(index.size()) + (index.size() == 1 ? " entry, " : " entries, ") +
                     std::to_string(payload) + " payload bytes, " +
                     (request.dryRun ? "not written (--dry-run): " : "written to ") + request.output + "\n";
    result.warnings = contentWarnings;
    for (std::string& warning : brandingWarnings(request.branding)) result.warnings.push_back(std::move(warning));
    if (!haveInstructions) {
        result.warnings.push_back(
            "the launcher file carries no instruction program (type 0); only an input file (-nv:in) can drive it");
    }
    return result;
}

}  // namespace nvpack
