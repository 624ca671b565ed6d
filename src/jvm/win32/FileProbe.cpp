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
