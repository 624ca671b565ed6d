// Temporary names through GetTempPathA and GetTempFileNameA.
#include <windows.h>

#include <string>

#include "cleanup/TemporaryNames.h"
#include "system/win32/AnsiPath.h"

namespace nv {

LauncherString systemTemporaryPath() {
    // The wide path, so that a user profile the ANSI code page cannot spell
    // is given in its short form.
    wchar_t wide[MAX_PATH + 1] = {};
    const DWORD n = GetTempPathW(MAX_PATH + 1, wide);
    if (n > 0 && n <= MAX_PATH) return ansiPathOf(wide);
    const DWORD needed = GetTempPathA(0, nullptr);
    if (needed == 0) return LauncherString();
    std::string path(needed, '\0');
    const DWORD got = GetTempPathA(needed, &path[0]);
    return got > 0 && got < needed ? LauncherString(path.data(), got) : LauncherString();
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
