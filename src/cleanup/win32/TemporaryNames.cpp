// Temporary names through GetTempPathA and GetTempFileNameA.
#include <windows.h>

#include <string>

#include "cleanup/TemporaryNames.h"

namespace nv {

LauncherString systemTemporaryPath() {
    const DWORD needed = GetTempPathA(0, nullptr);
    if (needed == 0) return LauncherString();
    std::string path(needed, '\0');
    const DWORD n = GetTempPathA(needed, &path[0]);
    return n > 0 && n < needed ? LauncherString(path.data(), n) : LauncherString();
}

bool isExistingDirectory(const LauncherString& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

LauncherString createUniqueFile(const LauncherString& directory, unsigned long& error) {
    char name[MAX_PATH + 1] = {};
    if (GetTempFileNameA(directory.c_str(), "LRE", 0, name) == 0) {
        error = GetLastError();
        return LauncherString();
    }
    error = 0;
    return LauncherString(name);
}

bool isAccessDenied(unsigned long error) { return error == ERROR_ACCESS_DENIED; }

void replaceFileByDirectory(const LauncherString& path) {
    DeleteFileA(path.c_str());
    CreateDirectoryA(path.c_str(), nullptr);
}

void removeFile(const LauncherString& path) { DeleteFileA(path.c_str()); }

}  // namespace nv
