#include "OwnArchive.h"

#include <string>
#include <vector>

#include "JvmArchiveFormat.h"
#include "SystemError.h"

namespace nvjvm {

namespace {

std::wstring ownPath() {
    std::vector<wchar_t> buffer(32768);
    const DWORD length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0 || length >= buffer.size()) throwSystemError("the unpacker cannot find its own file");
    return std::wstring(buffer.data(), length);
}

void seek(HANDLE file, std::uint64_t position) {
    LARGE_INTEGER distance;
    distance.QuadPart = static_cast<LONGLONG>(position);
    if (!SetFilePointerEx(file, distance, nullptr, FILE_BEGIN))
        throwSystemError("the unpacker cannot read its own file");
}

}  // namespace

OwnArchive::OwnArchive()
    : file_(CreateFileW(ownPath().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                        FILE_FLAG_SEQUENTIAL_SCAN, nullptr)) {
    if (!file_) throwSystemError("the unpacker cannot open its own file");
    LARGE_INTEGER size;
    if (!GetFileSizeEx(file_.get(), &size)) throwSystemError("the unpacker cannot read its own file");
    const std::uint64_t fileSize = static_cast<std::uint64_t>(size.QuadPart);
    unsigned char bytes[trailerSize] = {};
    if (fileSize >= trailerSize) {
        seek(file_.get(), fileSize - trailerSize);
        DWORD got = 0;
        if (!ReadFile(file_.get(), bytes, trailerSize, &got, nullptr) || got != trailerSize) {
            throwSystemError("the unpacker cannot read its own file");
        }
    }
    Trailer trailer;
    if (const char* problem = decodeTrailer(bytes, fileSize, trailer)) {
        throw ArchiveError(std::string("the unpacker's own file ") + problem);
    }
    seek(file_.get(), trailer.dataOffset);
    left_ = trailer.dataLength;
    expandedSize_ = trailer.expandedSize;
}

std::size_t OwnArchive::read(unsigned char* buffer, std::size_t size) {
    const DWORD want = static_cast<DWORD>(left_ < size ? left_ : size);
    if (want == 0) return 0;
    DWORD got = 0;
    if (!ReadFile(file_.get(), buffer, want, &got, nullptr)) throwSystemError("the unpacker cannot read its own file");
    if (got == 0) throw ArchiveError("the unpacker's own file ends before its data");
    left_ -= got;
    return got;
}

}  // namespace nvjvm
