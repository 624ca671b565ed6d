#pragma once
// The run log and the debug log: plain text files opened, appended to and
// closed for every entry. A log that cannot be written is skipped silently.

#include "foundation/LauncherString.h"

namespace nv {

enum LogKind { logInformation = 0, logWarning = 1, logError = 2 };

// The run log's path; empty switches the run log off.
void setRunLogPath(const LauncherString& path);
const LauncherString& runLogPath();

// Appends one entry; the separator line comes first once per process.
void logEntry(const LauncherString& text, int kind = logInformation);

// Sets the debug log path from DBGWIN32KVB (when it fits in 259 characters)
// and writes "Launcher Started" to it.
void startDebugLog();
void debugLog(const LauncherString& text, bool newline = true);

}  // namespace nv
