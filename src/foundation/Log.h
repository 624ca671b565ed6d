#pragma once
// The run log and the debug log: plain text files opened, appended to and
// closed for every entry. A log that cannot be written is skipped silently.
// Their paths are the process's own: the driver sets the run log's for each run.

#include "foundation/LauncherString.h"

namespace nv {

// The kinds of run-log entry; warnings and errors get a prefix.
enum class LogKind { information = 0, warning = 1, error = 2 };

// The run log's path; empty switches the run log off.
void setRunLogPath(const LauncherString& path);
const LauncherString& runLogPath();

// Appends one entry; the separator line comes first once per process.
void logEntry(const LauncherString& text, LogKind kind = LogKind::information);
// The same for text: the conversion to a string is made here, not at every call.
void logEntry(const char* text, LogKind kind = LogKind::information);

// Sets the debug log path from DBGWIN32KVB (when it fits in 259 characters)
// and writes "Launcher Started" to it.
void startDebugLog();
void debugLog(const LauncherString& text, bool newline = true);
void debugLog(const char* text, bool newline = true);
// The debug log's file path; empty while the debug log is off.
const LauncherString& debugLogFile();

}  // namespace nv
