#include "launcher/EndOfRun.h"

#include "foundation/Log.h"
#include "foundation/Messages.h"
#include "foundation/ProgressUi.h"
#include "foundation/ScopeGuard.h"
#include "launcher/Run.h"

namespace nv {

void holdJvmAdvice(Run& run) { run.jvmAdviceHeld = true; }

namespace {

// The held advice goes to the run log when the process ends with a non-zero `exitCode`.
void writeHeldAdvice(Run& run, int exitCode) {
    if (exitCode == 0 || !run.jvmAdviceHeld) return;
    run.jvmAdviceHeld = false;
    logEntry(messageText(MessageCode::noSuitableJvm));
}

}  // namespace

int finishRun(Run& run, const ProgramOutcome& outcome, int modeByte, Pause& pause) {
    // The clean-up runs however the rest of the end goes.
    ScopeGuard cleanup([&] {
        try {
            run.files.cleanUp(pause);
        } catch (...) {
        }
    });
    const int exitCode = exitCodeOf(outcome.result, modeByte, outcome.exited);
    writeHeldAdvice(run, exitCode);
    if (isFailedRun(outcome.result, modeByte) && !run.lastLaunchErrorOutput.empty()) {
        showMessage(run.lastLaunchErrorOutput);
    }
    return exitCode;
}

}  // namespace nv
