#include "archive/LauncherFile.h"

#include <cstdio>

#include "archive/LauncherFileFormat.h"
#include "foundation/CFile.h"
#include "foundation/Crc32.h"
#include "foundation/LauncherException.h"
#include "foundation/Log.h"
#include "foundation/Messages.h"
#include "text/NumberText.h"

namespace nv {

namespace {

// The launcher file opened for binary reading, as a source of bytes.
class BinaryFile : public format::ByteSource, public format::RandomAccessBytes {
public:
    explicit BinaryFile(const LauncherString& path) : file_(openFile(path.c_str(), "rb")) {}

    bool isOpen() const { return file_.valid(); }
    std::FILE* stream() const { return file_.get(); }
    bool seekTo(long position) { return position >= 0 && std::fseek(file_.get(), position, SEEK_SET) == 0; }
    long position() const { return std::ftell(file_.get()); }
    int next() override { return std::fgetc(file_.get()); }
    long size() override { return std::fseek(file_.get(), 0, SEEK_END) == 0 ? position() : -1; }
    bool readAt(long at, unsigned char* into, int count) override {
        return seekTo(at) &&
               std::fread(into, 1, static_cast<std::size_t>(count), file_.get()) == static_cast<std::size_t>(count);
    }

private:
    CFile file_;
};

LauncherString describe(const FileIndexEntry& e) {
    LauncherString text("file type: ");
    text += formatLong(e.type);
    text += "\n  file id: ";
    text += formatLong(e.fileId);
    text += "\n  length: ";
    text += formatLong(e.length);
    text += "\n  offset: ";
    text += formatLong(e.offset);
    text += "\n  file name: ";
    text += e.name;
    return text;
}

}  // namespace

void checkEntryCrc(const FileIndexEntry& entry, std::uint32_t crc) {
    if (!entry.hasCrc || crc == entry.crc) return;
    // Both values in hexadecimal, as tools print a CRC-32, written over the zeros.
    char values[] = " has the CRC-32 00000000; the launcher file records 00000000.";
    char* read = values + sizeof " has the CRC-32 0000000" - 1;  // the last digit of each
    char* recorded = values + sizeof values - 3;
    for (int shift = 0; shift < 32; shift += 4) {
        *read-- = "0123456789ABCDEF"[crc >> shift & 0xF];
        *recorded-- = "0123456789ABCDEF"[entry.crc >> shift & 0xF];
    }
    logEntry("The embedded file " + entry.name + values, LogKind::error);
    throwLauncherException(messageText(MessageCode::launcherFileDamaged));
}

LauncherFile::LauncherFile(const LauncherString& path) : path_(path) {}

namespace {

// The CRC-32 of the `length` bytes at `from`. A short read leaves the CRC-32
// of fewer bytes, which then matches nothing recorded.
std::uint32_t crcOfRange(std::FILE* file, long from, long length) {
    Crc32 crc;
    char block[1024];
    if (std::fseek(file, from, SEEK_SET) == 0) {
        while (length > 0) {
            const std::size_t got =
                std::fread(block, 1, length < static_cast<long>(sizeof block) ? length : sizeof block, file);
            if (got == 0) break;
            crc.update(block, got);
            length -= static_cast<long>(got);
        }
    }
    return crc.value();
}

// Reads the index of the launcher file; empty when the file has no trailer.
// Throws LauncherException with what is wrong with a damaged one.
ObjectList<FileIndexEntry> readIndex(BinaryFile& file) {
    ObjectList<FileIndexEntry> entries;
    if (file.size() < format::trailerSize) throwLauncherException("Invalid launcher format.");
    const long trailerEnd = format::trailerEnd(file);
    if (trailerEnd == 0) return entries;
    const long modeBytePosition = trailerEnd - format::modeByteFromEnd;
    // trailerEnd found the identification value behind the index offset.
    if (!file.seekTo(trailerEnd - format::trailerSize)) throwLauncherException("Invalid launcher format.");
    const std::uint32_t indexOffset = format::readUint32(file, "Unable to read file index offset.");
    if (!file.seekTo(static_cast<std::int32_t>(indexOffset))) throwLauncherException("Invalid file index offset.");
    const auto count = static_cast<std::int32_t>(format::readUint32(file, "Unable to read the file count."));
    // A count is believed only as far as the bytes up to the mode byte can
    // hold its entries, and those entries must end right there: a damaged
    // count must not make the launcher read millions of entries.
    const long room = modeBytePosition - file.position();
    if (count > 0 && (room < 0 || count > room / format::smallestIndexEntry)) {
        throwLauncherException("The file index lists more entries than the launcher file holds.");
    }
    for (std::int32_t i = 0; i < count; ++i) {
        entries.append(std::make_unique<FileIndexEntry>(format::readIndexEntry(file)));
    }
    if (file.position() != modeBytePosition) throwLauncherException("The file index does not end at the mode byte.");
    if (count <= 0) return entries;
    // Data in the stub, the index or past the end would be read as an
    // empty or foreign entry and the run would go on as if all were well.
    const long payloadStart = format::stubEnd(file);
    std::int64_t dataEnd = 0;
    for (std::int32_t i = 0; i < entries.count(); ++i) {
        const FileIndexEntry& entry = *entries.get(i);
        const std::int64_t end = static_cast<std::int64_t>(entry.offset) + entry.length;
        if (entry.offset < payloadStart || end > static_cast<std::int64_t>(indexOffset)) {
            throwLauncherException(joinText(
                {"The embedded file ", entry.name, " lies outside the launcher file's payload; it may be damaged."}));
        }
        if (end > dataEnd) dataEnd = end;
    }
    const format::Checksums checksums = format::findChecksums(file, dataEnd, static_cast<long>(indexOffset), count);
    if (checksums.indexCrc >= 0) {
        const std::uint32_t actual = crcOfRange(file.stream(), checksums.entryCrcs, trailerEnd - checksums.entryCrcs);
        if (!file.seekTo(checksums.indexCrc) || format::readUint32(file, format::indexDamaged) != actual) {
            throwLauncherException(format::indexDamaged);
        }
    }
    if (checksums.entryCrcs >= 0 && file.seekTo(checksums.entryCrcs)) {
        for (std::int32_t i = 0; i < entries.count(); ++i) {
            FileIndexEntry& entry = *entries.get(i);
            entry.crc = format::readUint32(file, format::indexDamaged);
            entry.hasCrc = true;
        }
    }
    return entries;
}

}  // namespace

void LauncherFile::loadIndex() {
    if (loaded_) return;
    BinaryFile file(path_);
    if (!file.isOpen()) throwLauncherException("Cannot open launcher file.");
    try {
        entries_ = readIndex(file);
    } catch (const LauncherException& e) {
        // All the user can do about any of these is fetch the file again;
        // the run log keeps what was wrong.
        logEntry(e.message(), LogKind::error);
        throwLauncherException(messageText(MessageCode::launcherFileDamaged));
    }
    for (std::int32_t i = 0; i < entries_.count(); ++i) logEntry(describe(*entries_.get(i)));
    loaded_ = true;
}

void checkEntryBytes(const FileIndexEntry& entry, std::FILE* file) {
    if (entry.hasCrc) checkEntryCrc(entry, crcOfRange(file, entry.offset, entry.length));
}

FileIndexEntry* LauncherFile::entryById(std::int32_t fileId) const {
    for (std::int32_t i = 0; i < entries_.count(); ++i) {
        if (entries_.get(i)->fileId == fileId) return entries_.get(i);
    }
    return nullptr;
}

int LauncherFile::modeByte() const { return readModeByte(path_); }

int readModeByte(const LauncherString& path) {
    BinaryFile file(path);
    if (!file.isOpen()) return -1;
    try {
        const long end = format::trailerEnd(file);
        return end > 0 && file.seekTo(end - format::modeByteFromEnd) ? file.next() : -1;
    } catch (const LauncherException&) {
        return -1;  // a damaged file: the run will say so when it loads the index
    }
}

}  // namespace nv
