#pragma once
// What the last launched program wrote to its error output.

#include "foundation/LauncherString.h"

namespace nv {

// The error output captured from the most recently launched program; empty
// before any launch. Written and read by the worker thread only.
const LauncherString& lastLaunchErrorOutput();

// Replaces the captured error output; called by the launch when its program ends.
void setLastLaunchErrorOutput(const LauncherString& text);

}  // namespace nv
