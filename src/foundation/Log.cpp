#include "foundation/Log.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace nv {

namespace {

// Process-wide log state.
LauncherString& runLog() {
    static LauncherString path;
    return path;
}
LauncherString& debugLogPath() {
    static LauncherString path;
    return path;
}
bool headerWritten = false;

// Closes a C stream on every path.
struct TextFile {
    explicit TextFile(const char* path) : f(std::fopen(path, "a")) {}
    ~TextFile() {
        if (f) std::fclose(f);
    }
    TextFile(const TextFile&) = delete;
    TextFile& operator=(const TextFile&) = delete;
    std::FILE* f;
};

}  // namespace

void setRunLogPath(const LauncherString& path) { runLog() = path; }
const LauncherString& runLogPath() { return runLog(); }

void logEntry(const LauncherString& text, int kind) {
    if (runLog().empty()) return;
    TextFile file(runLog().c_str());
    if (!file.f) return;
    if (!headerWritten) {
        std::fputs("------------------\n", file.f);
        headerWritten = true;
    }
    const char* prefix = kind == logWarning ? "WARNING: " : kind == logError ? "ERROR: " : "";
    std::fprintf(file.f, "%s%s\n", prefix, text.c_str());
    std::fflush(file.f);
}

void startDebugLog() {
    const char* value = std::getenv("DBGWIN32KVB");
    if (!value || std::strlen(value) > 259) return;
    debugLogPath() = value;
    debugLog("Launcher Started", true);
}

void debugLog(const LauncherString& text, bool newline) {
    if (debugLogPath().empty()) return;
    TextFile file(debugLogPath().c_str());
    if (!file.f) return;
    std::fprintf(file.f, newline ? "%s\n" : "%s", text.c_str());
}

}  // namespace nv
