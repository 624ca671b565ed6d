// The process command line, module name and version information through the system.
#include <windows.h>
#include <shellapi.h>

#include "foundation/LauncherException.h"
#include "foundation/Messages.h"
#include "foundation/win32/Handles.h"
#include "launcher/CommandLine.h"
#include "launcher/ProcessCommandLine.h"
#include "system/win32/AnsiPath.h"
#include "system/WindowsFamily.h"

namespace nv {

StringList splitProcessCommandLine() {
    if (windows9xFlag()) return splitNarrowCommandLine(LauncherString(GetCommandLineA()));
    StringList arguments;
    int count = 0;
    const LocalMemory argv(CommandLineToArgvW(GetCommandLineW(), &count));
    if (!argv) return arguments;
    const auto* words = static_cast<LPWSTR*>(argv.get());
    // An argument naming an existing path the ANSI code page cannot spell
    // comes in its short form, so the narrow file calls can open it.
    for (int i = 0; i < count; ++i) arguments.append(ansiPathOf(words[i]));
    return arguments;
}

LauncherString moduleFileName() {
    if (!windows9xFlag()) {
        // The wide name, so that a folder the ANSI code page cannot spell is
        // given in a form the launcher can open itself through.
        wchar_t wide[MAX_PATH] = {};
        const DWORD n = GetModuleFileNameW(nullptr, wide, MAX_PATH);
        if (n == 0) throwLauncherException(callFailed("GetModuleFileName", GetLastError()));
        if (n >= MAX_PATH) {
            throwLauncherException(
                "The path of the launcher file is longer than 259 characters; move it to a "
                "shorter path.");
        }
        return ansiPathOf(wide);
    }
    char path[MAX_PATH] = {};
    const DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (n == 0) throwLauncherException(callFailed("GetModuleFileName", GetLastError()));
    // A name that fills the whole buffer was cut: the launcher could not open itself.
    if (n >= MAX_PATH) {
        throwLauncherException(
            "The path of the launcher file is longer than 259 characters; move it to a "
            "shorter path.");
    }
    return LauncherString(path, n);
}

std::string ownVersionResource() {
    HRSRC found = FindResourceA(nullptr, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(16));  // RT_VERSION
    HGLOBAL loaded = found ? LoadResource(nullptr, found) : nullptr;
    const void* data = loaded ? LockResource(loaded) : nullptr;
    return data ? std::string(static_cast<const char*>(data), SizeofResource(nullptr, found)) : std::string();
}

}  // namespace nv
