#pragma once
// The removal of the launcher's own file after it has ended, for a launcher
// started as a copy of itself (-nv:orig): through WinInit.Ini at the next
// start of Windows on the 9x family, through a hidden batch file at idle
// priority on the NT family. The system's part is DeferredDeletion.h.

#include "foundation/LauncherString.h"
#include "foundation/StringList.h"

namespace nv {

class TemporaryFiles;

// Arranges the removal of the running executable `exe` and, when it is
// empty, its directory; the batch file that does it is named by `files`
// and outlives the run. Nothing it meets is reported: a failure leaves the
// file in place.
void removeOwnExecutable(const LauncherString& exe, TemporaryFiles& files);

// The text of the NT family's batch file (line feeds only; the file is
// written in text mode): it deletes exe until it is gone, removes dir (when
// not empty text), then deletes itself; with a debug log it also records
// what it did there.
LauncherString cleanupBatchText(const LauncherString& exe, const LauncherString& dir, const LauncherString& batch,
                                const LauncherString& debugLog);

// The batch file's path for a temporary file name: its extension (from the
// last "." of the file name on) replaced by ".bat".
LauncherString batchPathFor(const LauncherString& temporaryName);

// WinInit.Ini's bytes with each line and a line feed inserted right after
// the line of the first "[Rename]" (a line feed is put after a "[Rename]" at
// the very end); without that section, "[Rename]\n" and the lines are
// appended. Every other byte stays as it was.
LauncherString withRenameLines(const LauncherString& text, const StringList& lines);

}  // namespace nv
