#include "foundation/Log.h"

#include <cstdio>

#include <cstdlib>
#include <cstring>

#include "foundation/CFile.h"

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

}  // namespace

void setRunLogPath(const LauncherString& path) { runLog() = path; }
const LauncherString& runLogPath() { return runLog(); }

void logEntry(const char* text, LogKind kind) { logEntry(LauncherString(text), kind); }

void debugLog(const char* text, bool newline) { debugLog(LauncherString(text), newline); }

void logEntry(const LauncherString& text, LogKind kind) {
    if (runLog().empty()) return;
    CFile file = openFile(runLog().c_str(), "a");
    if (!file.valid()) return;
    if (!headerWritten) {
        std::fputs("------------------\n", file.get());
        headerWritten = true;
    }
    const char* prefix = kind == LogKind::warning ? "WARNING: " : kind == LogKind::error ? "ERROR: " : "";
    // fputs, not fprintf: the C++ runtime's printf would bring MinGW's own formatter into the stub.
    std::fputs(prefix, file.get());
    std::fputs(text.c_str(), file.get());
    std::fputc('\n', file.get());
    std::fflush(file.get());
}

void startDebugLog() {
    const char* value = std::getenv("DBGWIN32KVB");
    if (!value || std::strlen(value) > 259) return;
    debugLogPath() = value;
    debugLog("Launcher Started", true);
}

const LauncherString& debugLogFile() { return debugLogPath(); }

void debugLog(const LauncherString& text, bool newline) {
    if (debugLogPath().empty()) return;
    CFile file = openFile(debugLogPath().c_str(), "a");
    if (!file.valid()) return;
    std::fputs(text.c_str(), file.get());
    if (newline) std::fputc('\n', file.get());
}

}  // namespace nv
