#include "foundation/LauncherException.h"

namespace nv {

void throwLauncherException(const LauncherString& message) { throwLauncherException(message); }

void throwLauncherException(const char* message) { throwLauncherException(message); }

}  // namespace nv
