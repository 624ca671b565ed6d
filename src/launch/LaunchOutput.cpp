#include "launch/LaunchOutput.h"

#include "foundation/RunState.h"

namespace nv {

const LauncherString& lastLaunchErrorOutput() { return runState().lastLaunchErrorOutput; }

void setLastLaunchErrorOutput(const LauncherString& text) { runState().lastLaunchErrorOutput = text; }

}  // namespace nv
