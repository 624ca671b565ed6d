#pragma once
// What the end of a run makes of its result: whether it counts as a
// failure, which decides the closing message and the process's exit code.
// A result that the program's EXIT gave is the exit code as it stands.

#include <cstdint>

#include "launch/LauncherPayload.h"
#include "launcher/RunResult.h"

namespace nv {

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
void holdJvmAdvice();

// At the end of the run: writes the held advice to the run log when the
// process ends with a non-zero `exitCode`.
void writeHeldAdvice(int exitCode);

}  // namespace nv
