// The existence probe through CreateFileA.
#include <windows.h>

#include "foundation/win32/Handles.h"
#include "jvm/FileProbe.h"

namespace nv {

unsigned long probeFile(const LauncherString& path) {
    FileHandle file(CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    return file.valid() ? 0 : GetLastError();
}

bool isSharingViolation(unsigned long error) { return error == ERROR_SHARING_VIOLATION; }

bool isMissingFileError(unsigned long error) { return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND; }

}  // namespace nv

namespace nv {

bool readFileStart(const LauncherString& path, std::size_t limit, std::string& bytes) {
    FileHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) return false;
    bytes.assign(limit, '\0');
    DWORD got = 0;
    if (!ReadFile(file.get(), &bytes[0], static_cast<DWORD>(limit), &got, nullptr)) return false;
    bytes.resize(got);
    return true;
}

}  // namespace nv
