#pragma once
// The launcher process on its user-interface thread, from start to exit code.
#include <windows.h>

namespace nv {

// Sets the 9x flag, starts the debug log, creates the progress window and the
// hidden main window (which starts the worker) and pumps messages until the
// worker has finished. Returns the exit code: 0 for a run that reaches its
// end, -1 when the main window cannot be created. May throw.
int runLauncherProcess(HINSTANCE instance);

}  // namespace nv
