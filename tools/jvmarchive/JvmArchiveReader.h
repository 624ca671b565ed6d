#pragma once
// Reads the data part of a carried JVM archive (JvmArchiveFormat.h) and hands
// its records, in order, to a sink that writes them somewhere. Portable: the
// unpacker's sink writes files on Windows, the tests' sink keeps them in
// memory.

#include <cstddef>
#include <cstdint>
#include <exception>
#include <string>
#include <utility>

namespace nvjvm {

// A damaged or refused archive; the message is complete. (Not a
// std::runtime_error: in the unpacker that would link libstdc++'s second,
// copy-on-write string.)
class ArchiveError : public std::exception {
public:
    explicit ArchiveError(std::string message) : message_(std::move(message)) {}
    const char* what() const noexcept override { return message_.c_str(); }

private:
    std::string message_;
};

// The compressed bytes, in order.
class CompressedSource {
public:
    virtual ~CompressedSource() = default;
    // Fills up to `size` bytes; returns how many, 0 at the end. Throws on a
    // failed read.
    virtual std::size_t read(unsigned char* buffer, std::size_t size) = 0;
};

// Receives the records. A file arrives as beginFile, its bytes in pieces,
// endFile. Names are checked (nameProblem) before the sink sees them, and a
// name below a directory comes only after that directory's own record.
class ArchiveSink {
public:
    virtual ~ArchiveSink() = default;
    virtual void directory(const std::string& name) = 0;
    virtual void beginFile(const std::string& name, std::uint64_t size) = 0;
    virtual void fileData(const unsigned char* data, std::size_t size) = 0;
    virtual void endFile() = 0;
    // The JVM file's text; called last, only once the whole data has been
    // read and its checksum found right.
    virtual void jvmFile(const std::string& text) = 0;
};

// Inflates the data from `source` and hands each record to `sink`. Throws
// ArchiveError for damaged data (a bad or missing checksum, a truncated
// stream, bytes after the JVM file, an unknown record), a refused name, a
// record whose directory had no directory record before it, or file sizes
// that do not add up to `expandedSize`. What the sink or the
// source throws passes through. After a throw the sink may hold part of the
// archive: removing it is the caller's business.
void readJvmArchive(CompressedSource& source, std::uint64_t expandedSize, ArchiveSink& sink);

}  // namespace nvjvm
