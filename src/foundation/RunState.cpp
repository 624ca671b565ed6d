#include "foundation/RunState.h"

namespace nv {

RunState& runState() {
    static RunState state;
    return state;
}

void resetRunState() {
    RunState& state = runState();
    state.settings = RunSettings();
    state.runLogPath = LauncherString();
    {
        MutexLock lock(state.cleanup.mutex);
        state.cleanup.directories.clear();
        state.cleanup.files.clear();
    }
    state.status = StatusLine();
    state.cancelRequested = false;
    state.variables = InstructionVariables();
    state.lastLaunchErrorOutput = LauncherString();
    state.systemTemporaryPath = LauncherString();
    state.applicationArchive = LauncherString();
    state.jvmAdviceHeld = false;
}

}  // namespace nv
