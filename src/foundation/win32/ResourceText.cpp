// Resource texts through the system: LoadStringA, FormatMessageA.
#include <windows.h>

#include "foundation/ResourceText.h"

#include "foundation/LauncherException.h"
#include "foundation/Messages.h"
#include "foundation/win32/Handles.h"

namespace nv {

namespace {
// The longest character of any ANSI code page, in bytes. A character that
// does not fit is left out whole, so a truncated load may stop this close
// to the end of the buffer.
constexpr int longestCharacter = 4;
}  // namespace

LauncherString loadText(unsigned id) {
    // Grow by 64 bytes while the text may have been cut off at the buffer's end.
    for (int size = 64;; size += 64) {
        std::string raw(static_cast<std::size_t>(size), '\0');
        int n = LoadStringA(GetModuleHandleA(nullptr), id, &raw[0], size);
        if (n <= 0) return LauncherString();
        if (n < size - longestCharacter) {
            return LauncherString(raw.data(), static_cast<LauncherString::size_type>(n));
        }
    }
}

LauncherString formatText(const LauncherString& templ, const LauncherString& insert1, const LauncherString& insert2) {
    DWORD_PTR args[2] = {reinterpret_cast<DWORD_PTR>(insert1.c_str()), reinterpret_cast<DWORD_PTR>(insert2.c_str())};
    LocalMemory out;
    DWORD n = FormatMessageA(
        FORMAT_MESSAGE_FROM_STRING | FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_ARGUMENT_ARRAY, templ.c_str(), 0,
        0, reinterpret_cast<LPSTR>(out.receive()), 0, reinterpret_cast<va_list*>(args));
    if (n == 0) {
        // An empty template formats to an empty text, which is not a failure.
        if (templ.empty()) return LauncherString();
        throwLauncherException("Out of memory.");
    }
    return LauncherString(static_cast<const char*>(out.get()), n);
}

LauncherString systemErrorText(unsigned long code) { return systemErrorText(code, LauncherString()); }

LauncherString systemErrorText(unsigned long code, const LauncherString& subject) {
    LocalMemory out;
    DWORD n =
        FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, static_cast<DWORD>(code), MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT),
                       reinterpret_cast<LPSTR>(out.receive()), 0, nullptr);
    LauncherString text = n ? LauncherString(static_cast<const char*>(out.get()), n) : LauncherString();
    while (!text.empty() && (text[text.length() - 1] == '\n' || text[text.length() - 1] == '\r')) {
        text.erase(text.length() - 1, 1);
    }
    return fillSystemInserts(text, subject);
}

}  // namespace nv
