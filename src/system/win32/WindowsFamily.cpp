// The version query behind isWindows9x.
#include <windows.h>

#include "system/WindowsFamily.h"

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

}  // namespace nv
