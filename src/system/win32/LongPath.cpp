// The long form through GetLongPathNameA.
#include <windows.h>

#include "system/LongPath.h"

namespace nv {

LauncherString longPathName(const LauncherString& path) {
    char out[MAX_PATH + 1] = {};
    const DWORD n = GetLongPathNameA(path.c_str(), out, sizeof out);
    return n > 0 && n < sizeof out ? LauncherString(out, n) : path;
}

}  // namespace nv
