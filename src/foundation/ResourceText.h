#pragma once
// The texts the system supplies (win32/ and host/ halves): string resources
// in the user's language, the message formatter, and the system's error
// texts. The host answers with the English table and formats itself.

#include "foundation/LauncherString.h"

namespace nv {

// The string resource with this identifier, of any length; empty when missing.
LauncherString loadText(unsigned id);

// The template with inserts %1!s! and %2!s! replaced by the Windows message
// formatter. Throws LauncherException("Out of memory.") when it fails.
LauncherString formatText(const LauncherString& templ, const LauncherString& insert1,
                          const LauncherString& insert2 = LauncherString());

// The system's message for a Windows error code, without trailing line
// breaks; may be empty. Some messages carry inserts for the caller to fill
// ("Bad EXE format for %1."): they become `subject`, the file or program the
// failure concerns, or are left out without one (fillSystemInserts in
// Messages.h).
LauncherString systemErrorText(unsigned long code);
LauncherString systemErrorText(unsigned long code, const LauncherString& subject);

}  // namespace nv
