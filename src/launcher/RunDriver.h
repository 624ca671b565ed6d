#pragma once
// The run driver: reads the options from left to right, performs the ones
// that act at once, and runs the instruction program at the end.

#include <cstdint>

#include "foundation/StringList.h"

namespace nv {

// Runs the job for the arguments after the program name and returns its
// result: 0 without failure, launcherFailureResult (RunResult.h) for a
// failed run, else the instruction program's result. Never lets a
// LauncherException escape: it is shown (not in silent mode, nor when the
// program declined a box for it), logged as "ERROR: " and gives
// launcherFailureResult.
std::int32_t runDriver(const StringList& arguments);

class RunJob;
// runDriver with the given job doing the work.
std::int32_t runDriver(const StringList& arguments, RunJob& job);

}  // namespace nv
