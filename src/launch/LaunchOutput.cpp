#include "launch/LaunchOutput.h"

namespace nv {

namespace {
LauncherString& errorOutput() {
    static LauncherString text;
    return text;
}
}  // namespace

const LauncherString& lastLaunchErrorOutput() { return errorOutput(); }

void setLastLaunchErrorOutput(const LauncherString& text) { errorOutput() = text; }

}  // namespace nv
