#pragma once
// The end-of-run clean-up of everything temporary.

namespace nv {

// Removes the run's temporary files and directories. Runs on the worker at
// the end of the job and again on the user-interface thread when the Windows
// session ends, so a second call must be harmless. May throw; callers ignore
// its failures.
void runCleanup();

}  // namespace nv
