#pragma once
// The launcher process on its user-interface thread, from start to exit code.
#include <windows.h>

namespace nv {

// Sets the 9x flag, starts the debug log, creates the progress window and the
// hidden main window (which starts the worker) and pumps messages until the
// worker has finished. Returns the exit code: the run's result (0, -1 for a
// failed run, or the instruction program's result, which is the last
// launch's exit code), -1 when the main window cannot be created. May throw.
int runLauncherProcess(HINSTANCE instance);

}  // namespace nv
