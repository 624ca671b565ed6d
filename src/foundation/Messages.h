#pragma once
// Texts for the user made of resource and system texts (ResourceText.h):
// the message table, the context of a caught failure, the wording of failed
// system calls, and the inserts of the system's own texts.

#include "foundation/LauncherException.h"
#include "foundation/LauncherString.h"
#include "resources/StringIds.h"

namespace nv {

// Failures worded in the user's language: the MESSAGE rows of the string
// table, each naming one string resource.
#define NV_NOT_A_MESSAGE(id, name, text)
#define NV_MESSAGE_CODE(id, name, code, text) name = code,
enum class MessageCode { NV_STRING_TABLE(NV_NOT_A_MESSAGE, NV_MESSAGE_CODE) };
#undef NV_NOT_A_MESSAGE
#undef NV_MESSAGE_CODE

// The text of the message code in the user's language; empty for a code
// outside the table or a missing resource.
LauncherString messageText(MessageCode code);

// The caught failure with a context in front: the message code's text
// directly followed by the caught message. The damaged-file message
// (launcherFileDamaged) is passed on as it stands.
LauncherException withContext(MessageCode code, const LauncherException& caught);

// A failed system call: "<call> failed  ==>  " followed by the system's text
// for the error, as in "CreateProcess failed  ==>  ...". With a subject, the
// text's inserts name it (systemErrorText).
LauncherException callFailed(const char* call, unsigned long error);
LauncherException callFailed(const char* call, unsigned long error, const LauncherString& subject);

// A failed system operation in the one-blank form: "<what> ==> " followed by
// the system's text, as in "CreateProcess unable to wait for completion ==> ...".
LauncherException systemFailure(const char* what, unsigned long error);

// formatText (ResourceText.h) with the resource's text as the template.
LauncherString formatResource(unsigned id, const LauncherString& insert1,
                              const LauncherString& insert2 = LauncherString());

// The system's message text with each insert (%1 to %99, with or without a
// !format!) replaced by `subject`. An empty subject leaves the insert out
// together with one blank beside it: "Bad EXE format for %1." reads "Bad EXE
// format for.", which names nothing that is not there.
LauncherString fillSystemInserts(const LauncherString& text, const LauncherString& subject);

// Removes one double quote at the start, then one at the end.
LauncherString stripQuotes(const LauncherString& s);

}  // namespace nv
