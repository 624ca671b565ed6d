#pragma once
// What the end of a run makes of its result: whether it counts as a
// failure, which decides the closing message and the process's exit code,
// and the end itself (finishRun). A result that the program's EXIT gave is
// the exit code as it stands.

#include <cstdint>

#include "foundation/Pause.h"
#include "instructions/Instructions.h"
#include "launch/LauncherPayload.h"
#include "launcher/RunResult.h"

namespace nv {

struct Run;

// A result of 0 is no failure, nor is wizardDoneResult (1000) in modes 0
// and 2, where the wizard ends with it when the user is done.
inline bool isFailedRun(std::int32_t result, int modeByte) {
    return result != 0 && !(isWizardMode(modeByte) && result == wizardDoneResult);
}

// The process's exit code: EXIT's code when the program `exited` with it;
// else 0 for a run that is no failure, else the result (the launched
// program's own code, or launcherFailureResult).
inline int exitCodeOf(std::int32_t result, int modeByte, bool exited) {
    return exited || isFailedRun(result, modeByte) ? result : 0;
}

// A search found nothing without telling the user to name a Java home: the
// program may still do without one. The end of the run gives that advice
// (MessageCode::noSuitableJvm) only if the run fails.
void holdJvmAdvice(Run& run);

// The end of `run`, which ended with `outcome` (modeByte: the launcher
// file's, -1 without one): the held advice, the last launched program's
// error output shown when the run failed, then the removal of the run's
// temporary files (retried through `pause`; a failed clean-up leaves
// nothing sensible to do and ends nothing). Returns the process's exit code.
int finishRun(Run& run, const ProgramOutcome& outcome, int modeByte, Pause& pause = systemPause());

}  // namespace nv
