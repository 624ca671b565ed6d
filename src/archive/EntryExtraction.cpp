// The launcher file's extraction: an entry's bytes written to a file of its
// own, in chunks that step the progress bar, with free space, name, cancel
// and the bytes' CRC-32 checked.
#include <cerrno>
#include <cstdio>
#include <vector>

#include "archive/LauncherFile.h"
#include "archive/LauncherFileFormat.h"
#include "cleanup/DiskSpaceQuery.h"
#include "foundation/CFile.h"
#include "foundation/Crc32.h"
#include "foundation/LauncherException.h"
#include "foundation/Messages.h"
#include "foundation/ProgressUi.h"
#include "foundation/ScopeGuard.h"
#include "text/NumberText.h"
#include "text/PathText.h"

namespace nv {

namespace {

// The bar steps once per chunk; the bytes move in blocks of whole chunks
// (16 of them, just under 1 MB), so memory stays the same for any entry size.
constexpr std::int32_t chunkSize = 61439;
constexpr std::int32_t blockSize = 16 * chunkSize;
// The longest path, without its ending zero, that DeleteFileA takes (MAX_PATH).
constexpr LauncherString::size_type longestRemovablePath = 259;

LauncherException writeError(int errorNumber) {
    return LauncherException(joinText({messageText(MessageCode::errorWritingFile), formatLong(errorNumber),
                                       messageText(MessageCode::notEnoughTemporarySpace)}));
}

}  // namespace

// The name comes from the file; it must not lead outside the directory.
void checkEntryName(const FileIndexEntry& entry) {
    if (const char* problem = format::entryNameProblem(entry.name)) {
        throwLauncherException(joinText({"The embedded file name \"", entry.name, "\" is not a plain file name (",
                                         problem, "); nothing was extracted."}));
    }
}

LauncherString LauncherFile::extract(const FileIndexEntry& entry, const LauncherString& directory) {
    checkEntryName(entry);
    if (entry.offset < 0 || entry.length < 0) {
        throwLauncherException(joinText({"The embedded file ", entry.name, " lies outside the launcher file."}));
    }
    std::uint32_t bytes = static_cast<std::uint32_t>(entry.length);
    std::int32_t files = 1;
    if (entry.compressed) {
        bytes += static_cast<std::uint32_t>(entry.decompressedSize);
        files = entry.decompressedFileCount + 1;
    }
    if (!hasRoomFor(directory, bytes, files)) {
        throwLauncherException(messageText(MessageCode::errorWritingFile) +
                               messageText(MessageCode::notEnoughTemporarySpace));
    }

    LauncherString target = directory;
    ensureTrailingSeparator(target);
    target += entry.name;
    // Windows writes a longer path than its plain calls can delete again:
    // the file would outlive the run's clean-up.
    if (target.length() > longestRemovablePath) {
        throwLauncherException(joinText({"The embedded file ", entry.name, " would be written as ", target,
                                         ", a path longer than the 259 characters that Windows can remove; nothing "
                                         "was extracted."}));
    }

    CFile source = openFile(path_.c_str(), "rb");
    if (!source.get() || std::fseek(source.get(), entry.offset, SEEK_SET) != 0) {
        throwLauncherException("Cannot open launcher file.");
    }
    int errorNumber = 0;
    bool truncated = false;
    Crc32 crc;
    {
        CFile out = openFile(target.c_str(), "wb");
        if (!out.get()) errorNumber = errno ? errno : EIO;
        // Whole blocks go to the system in one call each, past the streams'
        // small buffers; the bar still moves one step per chunk.
        std::setvbuf(source.get(), nullptr, _IONBF, 0);
        if (out.get()) std::setvbuf(out.get(), nullptr, _IONBF, 0);
        std::int32_t remaining = entry.length;
        std::vector<char> buffer(static_cast<std::size_t>(remaining < blockSize ? remaining : blockSize));
        while (!errorNumber && remaining > 0 && !cancelRequested()) {
            std::size_t want = static_cast<std::size_t>(remaining < blockSize ? remaining : blockSize);
            std::size_t got = std::fread(buffer.data(), 1, want, source.get());
            if (got == 0) {
                truncated = true;
                break;
            }
            // A file of before the checksums records none: nothing to compute.
            if (entry.hasCrc) crc.update(buffer.data(), got);
            errno = 0;
            if (std::fwrite(buffer.data(), 1, got, out.get()) < got) errorNumber = errno ? errno : EIO;
            remaining -= static_cast<std::int32_t>(got);
            truncated = got < want;
            // A failed write counts as one chunk, as a chunk-by-chunk copy would have stepped.
            for (std::size_t stepped = 0; stepped < got; stepped += chunkSize) {
                stepProgress(1);
                if (errorNumber || cancelRequested()) break;
            }
            if (truncated) break;
        }
        if (out.get() && !closeFile(out) && !errorNumber) errorNumber = errno ? errno : EIO;
    }
    if (errorNumber || truncated || cancelRequested()) {
        std::remove(target.c_str());
        if (errorNumber) throwLauncherException(writeError(errorNumber));
        if (truncated) {
            throwLauncherException(joinText(
                {"The launcher file ends before the end of the embedded file ", entry.name, "; it may be damaged."}));
        }
        throwLauncherException(messageText(MessageCode::canceledByUser));
    }
    // Whole but damaged: removed, so that no run goes on with it.
    ScopeGuard removeTarget([&target] { std::remove(target.c_str()); });
    checkEntryCrc(entry, crc.value());
    removeTarget.dismiss();
    return target;
}

StringList LauncherFile::extractType(std::uint8_t type, const LauncherString& directory) {
    StringList written;
    for (std::int32_t i = 0; i < entries_.count(); ++i) {
        const FileIndexEntry& entry = *entries_.get(i);
        if (entry.type == type) written.append(extract(entry, directory));
    }
    return written;
}

}  // namespace nv
