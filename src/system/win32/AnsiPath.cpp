#include "system/win32/AnsiPath.h"

#include <string>

namespace nv {

namespace {

// The text in the ANSI code page; `lossless` tells whether every character survived.
LauncherString narrow(const wchar_t* wide, bool& lossless) {
    BOOL usedDefault = FALSE;
    const int size = WideCharToMultiByte(CP_ACP, 0, wide, -1, nullptr, 0, nullptr, &usedDefault);
    lossless = !usedDefault;
    if (size <= 1) return LauncherString();
    std::string bytes(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_ACP, 0, wide, -1, &bytes[0], size, nullptr, &usedDefault);
    lossless = !usedDefault;
    bytes.resize(static_cast<std::size_t>(size - 1));
    return LauncherString(bytes);
}

}  // namespace

LauncherString ansiPathOf(const wchar_t* path) {
    bool lossless = true;
    LauncherString text = narrow(path, lossless);
    if (lossless) return text;
    wchar_t shortPath[MAX_PATH] = {};
    const DWORD n = GetShortPathNameW(path, shortPath, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return text;
    bool shortLossless = true;
    LauncherString shortText = narrow(shortPath, shortLossless);
    return shortLossless ? shortText : text;
}

}  // namespace nv
