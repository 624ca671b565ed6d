#include "JvmArchiveReader.h"

#include <zlib.h>

#include <algorithm>
#include <vector>

#include "JvmArchiveFormat.h"

namespace nvjvm {

namespace {

// Compressed bytes are read in pieces of inputSize; a file's bytes are handed
// on in pieces of up to outputSize.
constexpr std::size_t inputSize = 64 * 1024;
constexpr std::size_t outputSize = 256 * 1024;

// A name as it can be shown in a message: control characters as "?".
std::string printable(const std::string& name) {
    std::string out = name;
    for (char& c : out) {
        if (static_cast<unsigned char>(c) < 32 || c == 127) c = '?';
    }
    return out;
}

// The inflated bytes of the source, read as needed.
class Inflater {
public:
    explicit Inflater(CompressedSource& source) : source_(source), input_(inputSize) {
        if (inflateInit(&stream_) != Z_OK) throw ArchiveError("the JVM archive cannot be read: zlib did not start");
    }
    ~Inflater() { inflateEnd(&stream_); }
    Inflater(const Inflater&) = delete;
    Inflater& operator=(const Inflater&) = delete;

    // Between 1 and `size` bytes; throws ArchiveError when the data ends
    // before `what` is complete.
    std::size_t readSome(unsigned char* out, std::size_t size, const std::string& what) {
        const std::size_t got = inflateInto(out, size);
        if (got == 0) throw ArchiveError("the JVM archive is damaged: its data ends inside " + what);
        return got;
    }

    void readExact(unsigned char* out, std::size_t size, const std::string& what) {
        while (size > 0) {
            const std::size_t got = readSome(out, size, what);
            out += got;
            size -= got;
        }
    }

    std::uint64_t readNumber(int bytes, const std::string& what) {
        unsigned char buffer[8];
        readExact(buffer, static_cast<std::size_t>(bytes), what);
        return nvjvm::readNumber(buffer, bytes);
    }

    // Throws unless the stream has ended, with a good checksum, exactly at
    // the end of the source.
    void expectEnd() {
        unsigned char extra;
        if (inflateInto(&extra, 1) != 0) throw ArchiveError("the JVM archive is damaged: data follows the JVM file");
        if (stream_.avail_in > 0 || source_.read(input_.data(), 1) > 0) {
            throw ArchiveError("the JVM archive is damaged: bytes follow its compressed data");
        }
    }

private:
    // Up to `size` bytes, 0 once the stream has ended.
    std::size_t inflateInto(unsigned char* out, std::size_t size) {
        stream_.next_out = out;
        stream_.avail_out = static_cast<uInt>(size);
        while (stream_.avail_out == size && !ended_) {
            if (stream_.avail_in == 0 && !sourceEnded_) {
                const std::size_t got = source_.read(input_.data(), input_.size());
                sourceEnded_ = got == 0;
                stream_.next_in = input_.data();
                stream_.avail_in = static_cast<uInt>(got);
            }
            const int result = inflate(&stream_, Z_NO_FLUSH);
            if (result == Z_STREAM_END) {
                ended_ = true;
            } else if (result == Z_BUF_ERROR && sourceEnded_) {
                throw ArchiveError("the JVM archive is damaged: its compressed data is cut short");
            } else if (result != Z_OK && result != Z_BUF_ERROR) {
                throw ArchiveError(std::string("the JVM archive is damaged: ") +
                                   (stream_.msg ? stream_.msg : "zlib error " + std::to_string(result)));
            }
        }
        return size - stream_.avail_out;
    }

    CompressedSource& source_;
    std::vector<unsigned char> input_;
    z_stream stream_{};
    bool ended_ = false;
    bool sourceEnded_ = false;
};

std::string readName(Inflater& in) {
    const std::size_t length = static_cast<std::size_t>(in.readNumber(2, "a name's length"));
    std::string name(length, '\0');
    if (length > 0) in.readExact(reinterpret_cast<unsigned char*>(&name[0]), length, "a name");
    if (const char* problem = nameProblem(name)) {
        throw ArchiveError("the JVM archive holds the name \"" + printable(name) + "\", which " + problem);
    }
    return name;
}

// Throws unless the directory holding `name` (a checked name) is the
// destination itself or came earlier as a directory record: the sink then
// has seen every directory it writes into, and never takes whatever stands
// there already, a link above all, for one unchecked.
void checkParent(const std::string& name, const std::vector<std::string>& directories, const char* kind) {
    const std::size_t end = name.rfind('\\');
    if (end == std::string::npos) return;
    const std::string parent = name.substr(0, end);
    if (std::binary_search(directories.begin(), directories.end(), parent)) return;
    throw ArchiveError(std::string("the JVM archive holds the ") + kind + " \"" + name +
                       "\" without a directory record for \"" + parent + "\" before it");
}

}  // namespace

void readJvmArchive(CompressedSource& source, std::uint64_t expandedSize, ArchiveSink& sink) {
    Inflater in(source);
    std::vector<unsigned char> buffer;  // grown to the largest piece needed, small archives stay cheap
    // The names of the directory records so far, sorted (a vector: std::set
    // would add its tree code to the unpacker; in nvjvm's order most land at
    // the end).
    std::vector<std::string> directories;
    std::uint64_t total = 0;
    for (;;) {
        unsigned char kind = 0;
        in.readExact(&kind, 1, "a record (no JVM file at the end)");
        if (kind == directoryRecord) {
            const std::string name = readName(in);
            checkParent(name, directories, "directory");
            sink.directory(name);
            const auto at = std::lower_bound(directories.begin(), directories.end(), name);
            if (at == directories.end() || *at != name) directories.insert(at, name);
        } else if (kind == fileRecord) {
            const std::string name = readName(in);
            checkParent(name, directories, "file");
            std::uint64_t left = in.readNumber(8, "the size of " + printable(name));
            if (left > expandedSize - total) {
                throw ArchiveError("the JVM archive is damaged: its files are larger than its trailer says");
            }
            total += left;
            sink.beginFile(name, left);
            const std::string what = "the file " + printable(name);
            while (left > 0) {
                const std::size_t want = left < outputSize ? static_cast<std::size_t>(left) : outputSize;
                if (buffer.size() < want) buffer.resize(want);
                const std::size_t got = in.readSome(buffer.data(), want, what);
                sink.fileData(buffer.data(), got);
                left -= got;
            }
            sink.endFile();
        } else if (kind == jvmFileRecord) {
            const std::uint64_t length = in.readNumber(4, "the JVM file's length");
            if (length > longestJvmText) throw ArchiveError("the JVM archive is damaged: its JVM file is too long");
            std::string text(static_cast<std::size_t>(length), '\0');
            if (length > 0) in.readExact(reinterpret_cast<unsigned char*>(&text[0]), text.size(), "the JVM file");
            if (total != expandedSize) {
                throw ArchiveError("the JVM archive is damaged: its files are smaller than its trailer says");
            }
            in.expectEnd();
            sink.jvmFile(text);
            return;
        } else {
            throw ArchiveError("the JVM archive is damaged: unknown record kind " + std::to_string(kind));
        }
    }
}

}  // namespace nvjvm
