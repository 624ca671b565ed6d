// The host stands in with code page 1252's Latin-1 range.
#include "system/AnsiText.h"

namespace nv {

LauncherString toAnsiCodePage(const std::u16string& text) {
    LauncherString out;
    for (char16_t c : text) out += c < 256 ? static_cast<char>(c) : '?';
    return out;
}

}  // namespace nv
