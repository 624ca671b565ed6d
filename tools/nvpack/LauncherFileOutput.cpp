#include "LauncherFileOutput.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <vector>

#include "EntryCheck.h"
#include "archive/LauncherFileFormat.h"
#include "foundation/CFile.h"
#include "foundation/Crc32.h"
#include "foundation/ScopeGuard.h"

#ifndef O_BINARY
#define O_BINARY 0  // POSIX files have no text mode
#endif

namespace nvpack {

namespace fs = std::filesystem;

namespace {

// Opens `path` for binary writing only when this call creates it: an
// existing file or link there is never opened. Null (errno set) otherwise.
nv::CFile createNewFile(const std::string& path) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_BINARY, 0644);
    if (fd < 0) return nv::CFile();
    nv::CFile file(::fdopen(fd, "wb"));
    if (!file) ::close(fd);
    return file;
}

// Writes `size` bytes to `file`; throws PackError naming the output (as the
// user gave it), the temporary file and the system's reason when that fails.
void writeBytes(std::FILE* file, const char* bytes, std::size_t size, const OutputFile& out) {
    if (size != 0 && std::fwrite(bytes, 1, size, file) != size) {
        throw PackError(out.givenAs + ": cannot write " + out.temp + ": " + std::strerror(errno));
    }
}

// Copies the entry's source into `file` and returns the CRC-32 of the bytes written.
std::uint32_t copyInto(std::FILE* file, const PackEntry& entry, std::int64_t expected, const OutputFile& out) {
    std::ifstream in(entry.source, std::ios::binary);
    if (!in) throw PackError(describe(entry) + ": cannot open " + entry.source);
    std::vector<char> buffer(1 << 20);
    std::int64_t copied = 0;
    nv::Crc32 crc;
    while (in) {
        in.read(buffer.data(), static_cast<std::streamsize>(buffer.size()));
        std::streamsize n = in.gcount();
        if (n <= 0) break;
        writeBytes(file, buffer.data(), static_cast<std::size_t>(n), out);
        crc.update(buffer.data(), static_cast<std::size_t>(n));
        copied += n;
    }
    if (in.bad() || copied != expected) throw PackError(describe(entry) + ": cannot read " + entry.source + " whole");
    return crc.value();
}

}  // namespace

void writeLauncherFile(const PackRequest& request, const std::string& stub,
                       const nv::format::LauncherFileLayout& layout, const OutputFile& out) {
    // A leftover of an earlier run, or a link planted under this name, goes
    // first (a link itself, never what it points at); the file is then
    // made anew or not at all.
    std::error_code ec;
    fs::remove(out.temp, ec);
    nv::CFile file = createNewFile(out.temp);
    if (!file) throw PackError(out.givenAs + ": cannot create " + out.temp + ": " + std::strerror(errno));
    nv::ScopeGuard removeTemp([&out] {
        std::error_code ignored;
        fs::remove(out.temp, ignored);
    });
    writeBytes(file.get(), stub.data(), stub.size(), out);
    std::vector<std::uint32_t> crcs;
    for (std::size_t i = 0; i < layout.index.size(); ++i)
        crcs.push_back(copyInto(file.get(), request.entries[i], layout.index[i].length, out));
    std::string block(layout.padding, '\0');
    if (layout.checksums != 0) {
        nv::format::appendChecksums(block, crcs.data(), static_cast<std::int32_t>(crcs.size()), layout.tail);
    }
    writeBytes(file.get(), block.data(), block.size(), out);
    writeBytes(file.get(), layout.tail.data(), layout.tail.size(), out);
    if (!nv::closeFile(file)) throw PackError(out.givenAs + ": cannot write " + out.temp + ": " + std::strerror(errno));
    // The stub's permissions (executable on the host) carry over.
    fs::permissions(out.temp, fs::status(request.stub).permissions(), ec);
    fs::rename(out.temp, out.path, ec);
    if (ec) throw PackError(out.givenAs + ": cannot replace " + out.path + " by " + out.temp + ": " + ec.message());
    removeTemp.dismiss();
}

void checkOutputFolder(const OutputFile& out) {
    // Without trying to create it, a missing folder is what shows.
    std::error_code ec;
    const fs::path folder = fs::path(out.path).parent_path();
    if (!folder.empty() && !fs::is_directory(folder, ec)) {
        throw PackError(out.givenAs + ": cannot create " + out.temp + ": " +
                        std::strerror(fs::exists(folder, ec) ? ENOTDIR : ENOENT));
    }
}

}  // namespace nvpack
