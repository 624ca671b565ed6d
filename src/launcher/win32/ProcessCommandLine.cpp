// The process command line and module name through the system.
#include <windows.h>
#include <shellapi.h>

#include "launcher/CommandLine.h"
#include "system/WindowsFamily.h"

namespace nv {

namespace {

// Frees the array that CommandLineToArgvW allocated.
class ArgvOwner {
public:
    explicit ArgvOwner(LPWSTR* argv) : argv_(argv) {}
    ~ArgvOwner() {
        if (argv_) LocalFree(argv_);
    }
    ArgvOwner(const ArgvOwner&) = delete;
    ArgvOwner& operator=(const ArgvOwner&) = delete;
    LPWSTR* get() const { return argv_; }

private:
    LPWSTR* argv_;
};

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
    ArgvOwner argv(CommandLineToArgvW(GetCommandLineW(), &count));
    if (!argv.get()) return arguments;
    for (int i = 0; i < count; ++i) arguments.append(toAnsi(argv.get()[i]));
    return arguments;
}

LauncherString moduleFileName() {
    char path[MAX_PATH] = {};
    DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH - 1);
    return LauncherString(path, n < MAX_PATH ? n : 0);
}

}  // namespace nv
