#pragma once
// The run driver: reads the options from left to right, performs the ones
// that act at once, and runs the instruction program at the end.

#include <cstdint>

#include "foundation/StringList.h"
#include "instructions/Instructions.h"

namespace nv {

struct Run;
class RunJob;

// Runs the job of `run` for the arguments after the program name and
// returns its outcome: result 0 without failure, -1 for a failed run, else
// the instruction program's result, and whether the program's EXIT gave it.
// The run's settings come from the options; the process's run log and window
// start afresh. Never lets a LauncherException escape: it is shown (not in
// silent mode, nor when the program declined a box for it), logged as
// "ERROR: " and gives -1.
ProgramOutcome runDriver(Run& run, const StringList& arguments);

// runDriver with the given job doing the work.
ProgramOutcome runDriver(Run& run, const StringList& arguments, RunJob& job);

}  // namespace nv
