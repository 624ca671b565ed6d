#pragma once
// Resource texts in the user's language: the message table (codes 0 to 18),
// loading and formatting of string resources, and system error texts.

#include "foundation/LauncherString.h"

namespace nv {

// The text of message code 0..18 in the user's language; empty for an
// unknown code or a missing resource.
LauncherString messageText(int code);

// The string resource with this identifier, of any length; empty when missing.
LauncherString loadText(unsigned id);

// The template with inserts %1!s! and %2!s! replaced by the Windows message
// formatter. Throws LauncherException("Out of memory.") when it fails.
LauncherString formatText(const LauncherString& templ, const LauncherString& insert1,
                          const LauncherString& insert2 = LauncherString());

// formatText with the resource's text as the template.
LauncherString formatResource(unsigned id, const LauncherString& insert1,
                              const LauncherString& insert2 = LauncherString());

// The system's message for a Windows error code, inserts not processed,
// without trailing line breaks; may be empty.
LauncherString systemErrorText(unsigned long code);

// Removes one double quote at the start, then one at the end.
LauncherString stripQuotes(const LauncherString& s);

}  // namespace nv
