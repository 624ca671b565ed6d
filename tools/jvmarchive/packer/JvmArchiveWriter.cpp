#include "JvmArchiveWriter.h"

#include <zlib.h>

#include <cstdio>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <vector>

#include "JvmArchiveFormat.h"
#include "WindowsProgram.h"
#include "foundation/CFile.h"
#include "foundation/ScopeGuard.h"
#include "tools/common/PackError.h"

namespace nvjvm {

using nvtools::PackError;

namespace {

constexpr std::size_t chunkSize = 1 << 20;

nv::CFile openFile(const std::string& path, const char* mode, const std::string& what) {
    nv::CFile file = nv::openFile(path.c_str(), mode);
    if (!file) throw PackError(what + " " + path + " cannot be opened: " + std::strerror(errno));
    return file;
}

// Compresses what it is given into one zlib stream written to `out`.
class Deflater {
public:
    Deflater(std::FILE* out, const std::string& outName) : out_(out), outName_(outName), buffer_(chunkSize) {
        if (deflateInit(&stream_, Z_BEST_COMPRESSION) != Z_OK) throw PackError("zlib did not start");
    }
    ~Deflater() { deflateEnd(&stream_); }
    Deflater(const Deflater&) = delete;
    Deflater& operator=(const Deflater&) = delete;

    void add(const void* data, std::size_t size) { run(data, size, Z_NO_FLUSH); }
    void add(const std::string& bytes) { add(bytes.data(), bytes.size()); }
    void finish() { run(nullptr, 0, Z_FINISH); }
    std::uint64_t written() const { return stream_.total_out; }

private:
    void run(const void* data, std::size_t size, int flush) {
        stream_.next_in = static_cast<Bytef*>(const_cast<void*>(data));
        stream_.avail_in = static_cast<uInt>(size);
        int result = Z_OK;
        do {
            stream_.next_out = buffer_.data();
            stream_.avail_out = static_cast<uInt>(buffer_.size());
            result = deflate(&stream_, flush);
            if (result == Z_STREAM_ERROR) throw PackError("zlib failed while compressing");
            const std::size_t produced = buffer_.size() - stream_.avail_out;
            if (std::fwrite(buffer_.data(), 1, produced, out_) != produced) {
                throw PackError("writing " + outName_ + " failed: " + std::strerror(errno));
            }
        } while (stream_.avail_out == 0 || (flush == Z_FINISH && result != Z_STREAM_END));
    }

    std::FILE* out_;
    std::string outName_;
    std::vector<unsigned char> buffer_;
    z_stream stream_{};
};

std::string nameRecord(char kind, const std::string& name) {
    std::string record(1, kind);
    appendNumber(record, name.size(), 2);
    return record + name;
}

// Copies the unpacker program; returns its size.
std::uint64_t copyUnpacker(const std::string& unpacker, std::FILE* out, const std::string& outName) {
    const nv::CFile in = openFile(unpacker, "rb", "the unpacker");
    std::string bytes;
    std::vector<char> buffer(chunkSize);
    std::size_t got = 0;
    while ((got = std::fread(buffer.data(), 1, buffer.size(), in.get())) > 0) bytes.append(buffer.data(), got);
    if (!isWindowsProgram(bytes)) throw PackError("the unpacker " + unpacker + " is no Windows program");
    if (bytes.size() >= magicSize && bytes.compare(bytes.size() - magicSize, magicSize, magic, magicSize) == 0) {
        throw PackError("the unpacker " + unpacker + " already carries a JVM archive; give the bare unpacker");
    }
    if (!carriesUnpackerMark(bytes)) {
        throw PackError("the unpacker " + unpacker + " is not the carried-JVM unpacker (JvmUnpacker.exe)");
    }
    if (std::fwrite(bytes.data(), 1, bytes.size(), out) != bytes.size()) {
        throw PackError("writing " + outName + " failed: " + std::strerror(errno));
    }
    return bytes.size();
}

void addFile(Deflater& deflater, const RuntimeEntry& entry, std::vector<unsigned char>& buffer) {
    const nv::CFile in = openFile(entry.source, "rb", "the runtime file");
    std::string header = nameRecord(fileRecord, entry.name);
    appendNumber(header, entry.size, 8);
    deflater.add(header);
    std::uint64_t total = 0;
    std::size_t got = 0;
    while ((got = std::fread(buffer.data(), 1, buffer.size(), in.get())) > 0) {
        total += got;
        if (total > entry.size) break;
        deflater.add(buffer.data(), got);
    }
    if (std::ferror(in.get())) throw PackError("reading " + entry.source + " failed: " + std::strerror(errno));
    if (total != entry.size) throw PackError(entry.source + " changed its size while it was packed");
}

}  // namespace

ArchiveFigures writeJvmArchive(const RuntimeFolder& runtime, const std::string& jvmText, const std::string& unpacker,
                               const std::string& output) {
    const std::string temporary = output + ".nvjvm-tmp";
    nv::CFile out = openFile(temporary, "wb", "the output");
    nv::ScopeGuard removeTemporary([&] {
        out.reset();
        std::remove(temporary.c_str());
    });

    ArchiveFigures figures;
    figures.unpackerBytes = copyUnpacker(unpacker, out.get(), output);
    std::uint64_t compressed = 0;
    {
        Deflater deflater(out.get(), output);
        std::vector<unsigned char> buffer(chunkSize);
        for (const RuntimeEntry& entry : runtime.entries) {
            if (entry.directory) {
                deflater.add(nameRecord(directoryRecord, entry.name));
                ++figures.directories;
            } else {
                addFile(deflater, entry, buffer);
                ++figures.files;
                figures.folderBytes += entry.size;
            }
        }
        std::string record(1, jvmFileRecord);
        appendNumber(record, jvmText.size(), 4);
        deflater.add(record + jvmText);
        deflater.finish();
        compressed = deflater.written();
    }
    Trailer trailer;
    trailer.dataOffset = figures.unpackerBytes;
    trailer.dataLength = compressed;
    trailer.expandedSize = figures.folderBytes;
    const std::string trailerBytes = encodeTrailer(trailer);
    if (std::fwrite(trailerBytes.data(), 1, trailerBytes.size(), out.get()) != trailerBytes.size() ||
        std::fflush(out.get()) != 0) {
        throw PackError("writing " + output + " failed: " + std::strerror(errno));
    }
    if (!nv::closeFile(out)) throw PackError("writing " + output + " failed: " + std::strerror(errno));
    // The C library's rename fails on Windows when the output exists; the
    // filesystem library's replaces it there, as rename does on the host.
    std::error_code renamed;
    std::filesystem::rename(temporary, output, renamed);
    if (renamed) throw PackError(temporary + " cannot be renamed to " + output + ": " + renamed.message());
    removeTemporary.dismiss();
    figures.archiveBytes = figures.unpackerBytes + compressed + trailerBytes.size();
    return figures;
}

}  // namespace nvjvm
