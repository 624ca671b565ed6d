#include <windows.h>

#include "system/AnsiText.h"

namespace nv {

LauncherString toAnsiCodePage(const std::u16string& text) {
    if (text.empty()) return LauncherString();
    const auto* wide = reinterpret_cast<const wchar_t*>(text.data());
    int length = static_cast<int>(text.size());
    int size = WideCharToMultiByte(CP_ACP, 0, wide, length, nullptr, 0, nullptr, nullptr);
    if (size <= 0) return LauncherString();
    std::string bytes(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_ACP, 0, wide, length, &bytes[0], size, nullptr, nullptr);
    return LauncherString(bytes);
}

}  // namespace nv
