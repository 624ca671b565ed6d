// The version query behind isWindows9x.
#include <windows.h>

#include "system/WindowsFamily.h"
#include "system/win32/KernelFunction.h"

namespace nv {

bool isWindows9x() {
    OSVERSIONINFOEXA info{};
    info.dwOSVersionInfoSize = sizeof(OSVERSIONINFOEXA);  // 156
    // GetVersionExA is deprecated for version numbers, but the platform id is
    // exactly what it still reports reliably.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    BOOL ok = GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(&info));
    if (!ok) {
        info.dwOSVersionInfoSize = sizeof(OSVERSIONINFOA);  // 148
        ok = GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(&info));
    }
#pragma GCC diagnostic pop
    return ok && info.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS;
}

bool is64BitWindows() {
    if (sizeof(void*) == 8) return true;
    // Windows before XP SP2 has no IsWow64Process and no 64-bit edition.
    using IsWow64Process = BOOL(WINAPI*)(HANDLE, PBOOL);
    const auto query = kernelFunctionAs<IsWow64Process>("IsWow64Process");
    BOOL wow64 = FALSE;
    return query && query(GetCurrentProcess(), &wow64) && wow64;
}

}  // namespace nv
