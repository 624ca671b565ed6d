#include "foundation/Log.h"

#include <cstdio>

#include <cstdlib>
#include <cstring>

#include "foundation/CFile.h"

namespace nv {

namespace {

// The process's two logs. Worker thread, but for the debug log, which the
// process starts before it.
struct Logs {
    LauncherString runLogPath;            // -nv:log or the input file's LOGFILE; empty: no run log
    bool runLogSeparatorWritten = false;  // the separator line comes once per process
    LauncherString debugLogPath;          // DBGWIN32KVB once the debug log started; empty: off
};

Logs& logs() {
    static Logs state;
    return state;
}

}  // namespace

void setRunLogPath(const LauncherString& path) { logs().runLogPath = path; }
const LauncherString& runLogPath() { return logs().runLogPath; }

void logEntry(const char* text, LogKind kind) { logEntry(LauncherString(text), kind); }

void debugLog(const char* text, bool newline) { debugLog(LauncherString(text), newline); }

void logEntry(const LauncherString& text, LogKind kind) {
    Logs& state = logs();
    if (state.runLogPath.empty()) return;
    CFile file = openFile(state.runLogPath.c_str(), "a");
    if (!file.valid()) return;
    if (!state.runLogSeparatorWritten) {
        std::fputs("------------------\n", file.get());
        state.runLogSeparatorWritten = true;
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
    logs().debugLogPath = value;
    debugLog("Launcher Started", true);
}

const LauncherString& debugLogFile() { return logs().debugLogPath; }

void debugLog(const LauncherString& text, bool newline) {
    const LauncherString& path = logs().debugLogPath;
    if (path.empty()) return;
    CFile file = openFile(path.c_str(), "a");
    if (!file.valid()) return;
    std::fputs(text.c_str(), file.get());
    if (newline) std::fputc('\n', file.get());
}

}  // namespace nv
