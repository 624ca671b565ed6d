// The process command line and module name through the system.
#include <windows.h>
#include <shellapi.h>

#include "foundation/LauncherException.h"
#include "foundation/Messages.h"
#include "foundation/win32/Handles.h"
#include "launcher/CommandLine.h"
#include "system/WindowsFamily.h"

namespace nv {

namespace {

LauncherString toAnsi(const wchar_t* wide) {
    int size = WideCharToMultiByte(CP_ACP, 0, wide, -1, nullptr, 0, nullptr, nullptr);
    if (size <= 1) return LauncherString();
    std::string bytes(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_ACP, 0, wide, -1, &bytes[0], size, nullptr, nullptr);
    bytes.resize(static_cast<std::size_t>(size - 1));
    return LauncherString(bytes);
}

}  // namespace

StringList splitProcessCommandLine() {
    if (windows9xFlag()) return splitNarrowCommandLine(LauncherString(GetCommandLineA()));
    StringList arguments;
    int count = 0;
    const LocalMemory argv(CommandLineToArgvW(GetCommandLineW(), &count));
    if (!argv) return arguments;
    const auto* words = static_cast<LPWSTR*>(argv.get());
    for (int i = 0; i < count; ++i) arguments.append(toAnsi(words[i]));
    return arguments;
}

LauncherString moduleFileName() {
    char path[MAX_PATH] = {};
    const DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (n == 0) throwLauncherException(callFailed("GetModuleFileName", GetLastError()));
    // A name that fills the whole buffer was cut: the launcher could not open itself.
    if (n >= MAX_PATH) {
        throwLauncherException("The path of the launcher file is longer than 259 characters; move it to a "
                                "shorter path.");
    }
    return LauncherString(path, n);
}

}  // namespace nv
