// WinInit.Ini through a file mapping, and the hidden batch file's start.
#include <windows.h>

#include <cstring>
#include <string>

#include "cleanup/DeferredDeletion.h"
#include "cleanup/SelfRemoval.h"
#include "foundation/ScopeGuard.h"
#include "foundation/win32/Handles.h"

namespace nv {

LauncherString shortPathName(const LauncherString& path) {
    char out[MAX_PATH + 1] = {};
    const DWORD n = GetShortPathNameA(path.c_str(), out, sizeof out);
    return n > 0 && n < sizeof out ? LauncherString(out, n) : LauncherString();
}

unsigned long mergeIntoWinInit(const StringList& lines) {
    if (lines.empty()) return 0;
    char windows[MAX_PATH] = {};
    const UINT n = GetWindowsDirectoryA(windows, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return GetLastError();
    const LauncherString path = LauncherString(windows) + "\\WinInit.Ini";
    DWORD total = 0;
    for (std::int32_t i = 0; i < lines.count(); ++i) total += lines.get(i).length() + 1;

    const FileHandle file(CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                                      FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file) return GetLastError();
    const DWORD oldSize = GetFileSize(file.get(), nullptr);
    DWORD newSize = oldSize;
    unsigned long error = 0;
    {
        // Room for the lines, a section header and a line feed after an existing one.
        const DWORD mappedSize = oldSize + total + 10;
        const KernelHandle mapping(CreateFileMappingA(file.get(), nullptr, PAGE_READWRITE, 0, mappedSize, nullptr));
        void* view = mapping ? MapViewOfFile(mapping.get(), FILE_MAP_WRITE, 0, 0, mappedSize) : nullptr;
        if (!view) {
            error = GetLastError();
        } else {
            ScopeGuard unmap([view] { UnmapViewOfFile(view); });
            char* bytes = static_cast<char*>(view);
            std::memset(bytes + oldSize, 0, mappedSize - oldSize);
            const LauncherString merged = withRenameLines(LauncherString(bytes, oldSize), lines);
            std::memcpy(bytes, merged.c_str(), merged.length());
            newSize = merged.length();
        }
    }
    SetFilePointer(file.get(), static_cast<LONG>(newSize), nullptr, FILE_BEGIN);
    SetEndOfFile(file.get());
    return error;
}

bool startCleanupBatch(const LauncherString& batch) {
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
    PROCESS_INFORMATION process = {};
    std::string commandLine = "\"" + batch.str() + "\"";
    if (!CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE,
                        CREATE_SUSPENDED | CREATE_NEW_CONSOLE | IDLE_PRIORITY_CLASS, nullptr, "\\", &startup,
                        &process)) {
        return false;
    }
    const KernelHandle processHandle(process.hProcess);
    const KernelHandle thread(process.hThread);
    SetThreadPriority(thread.get(), THREAD_PRIORITY_IDLE);
    // The launcher ends quickly while the batch file waits for it at idle priority.
    SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_TIME_CRITICAL);
    SetPriorityClass(GetCurrentProcess(), HIGH_PRIORITY_CLASS);
    ResumeThread(thread.get());
    return true;
}

}  // namespace nv
