#include <windows.h>

#include "foundation/win32/Handles.h"
#include "system/Wine.h"
#include "system/win32/KernelFunction.h"

namespace nv {

namespace {

// GetFinalPathNameByHandleA: looked up, since systems before Vista lack it.
using FinalPathQuery = DWORD(WINAPI*)(HANDLE, LPSTR, DWORD, DWORD);
// A path the plain calls can delete (259 characters) with the "\\?\" in front, and room to spare.
constexpr DWORD longestFinalPath = 600;

// The path the system reaches when it opens `path`, or the empty text.
LauncherString finalPath(const LauncherString& path, FinalPathQuery query) {
    const FileHandle opened(CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                        nullptr, OPEN_EXISTING,
                                        FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!opened.valid()) return LauncherString();
    char text[longestFinalPath];  // well inside the stub's 2 KB frame limit (CMakeLists.txt)
    const DWORD length = query(opened.get(), text, longestFinalPath, 0);
    return length > 0 && length < longestFinalPath ? LauncherString(text, length) : LauncherString();
}

}  // namespace

bool runsUnderWine() {
    const HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

bool isWineFileLink(const LauncherString& path) {
    if (!runsUnderWine()) return false;
    const auto query = kernelFunctionAs<FinalPathQuery>("GetFinalPathNameByHandleA");
    const LauncherString::size_type cut = path.findLastOf("\\/");
    if (!query || cut == LauncherString::npos || cut == 0) return false;
    // A root keeps its separator: "C:" alone is the drive's current directory.
    const LauncherString directory = finalPath(path.substr(0, path[cut - 1] == ':' ? cut + 1 : cut), query);
    const LauncherString file = finalPath(path, query);
    if (directory.empty() || file.empty()) return false;
    LauncherString expected = directory;
    if (expected[expected.length() - 1] != '\\') expected += '\\';
    expected.append(path, cut + 1, LauncherString::npos);
    return lstrcmpiA(file.c_str(), expected.c_str()) != 0;
}

}  // namespace nv
