#pragma once
// Resource texts in the user's language: the message table (codes 0 to 18),
// loading and formatting of string resources, and system error texts.

#include "foundation/LauncherException.h"
#include "foundation/LauncherString.h"

namespace nv {

// Failures worded in the user's language; each code names one string resource.
enum class MessageCode {
    couldNotLoadInputFile = 0,
    errorLoadingInstructions = 1,
    errorLoadingLaunchScript = 2,
    errorLoadingJvmFile = 3,
    invalidJvmFileId = 4,
    invalidAction = 5,
    logFileNameMissing = 6,
    unableToExtract = 7,
    unableToLoadIndex = 8,
    noJvmInstaller = 9,
    jvmNotValid = 10,
    inputFileNameMissing = 11,
    noSuitableJvm = 12,
    unableToSearchAll = 13,
    unableToOpenInputFile = 14,
    errorWritingFile = 15,
    notEnoughTemporarySpace = 16,
    canceledByUser = 17,
    temporaryDirectoryMissing = 18,
};

// The text of the message code in the user's language; empty for a code
// outside the table or a missing resource.
LauncherString messageText(MessageCode code);

// The caught failure with a context in front: the message code's text
// directly followed by the caught message.
LauncherException withContext(MessageCode code, const LauncherException& caught);

// A failed system call: "<call> failed  ==>  " followed by the system's text
// for the error, as in "CreateProcess failed  ==>  ...". With a subject, the
// text's inserts name it (systemErrorText).
LauncherException callFailed(const char* call, unsigned long error);
LauncherException callFailed(const char* call, unsigned long error, const LauncherString& subject);

// A failed system operation in the one-blank form: "<what> ==> " followed by
// the system's text, as in "CreateProcess unable to wait for completion ==> ...".
LauncherException systemFailure(const char* what, unsigned long error);

// The string resource with this identifier, of any length; empty when missing.
LauncherString loadText(unsigned id);

// The template with inserts %1!s! and %2!s! replaced by the Windows message
// formatter. Throws LauncherException("Out of memory.") when it fails.
LauncherString formatText(const LauncherString& templ, const LauncherString& insert1,
                          const LauncherString& insert2 = LauncherString());

// formatText with the resource's text as the template.
LauncherString formatResource(unsigned id, const LauncherString& insert1,
                              const LauncherString& insert2 = LauncherString());

// The system's message for a Windows error code, without trailing line
// breaks; may be empty. Some messages carry inserts for the caller to fill
// ("Bad EXE format for %1."): they become `subject`, the file or program the
// failure concerns, or are left out without one (fillSystemInserts).
LauncherString systemErrorText(unsigned long code);
LauncherString systemErrorText(unsigned long code, const LauncherString& subject);

// The system's message text with each insert (%1 to %99, with or without a
// !format!) replaced by `subject`. An empty subject leaves the insert out
// together with one blank beside it: "Bad EXE format for %1." reads "Bad EXE
// format for.", which names nothing that is not there.
LauncherString fillSystemInserts(const LauncherString& text, const LauncherString& subject);

// Removes one double quote at the start, then one at the end.
LauncherString stripQuotes(const LauncherString& s);

}  // namespace nv
