#include "launch/LaunchScriptError.h"

namespace nv {

void throwLaunchScriptError(const LauncherString& message) { throw LaunchScriptError(message); }

void throwLaunchScriptError(const char* message) { throw LaunchScriptError(message); }

}  // namespace nv
