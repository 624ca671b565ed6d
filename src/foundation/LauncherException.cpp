#include "foundation/LauncherException.h"

namespace nv {

LauncherException::~LauncherException() = default;

void throwLauncherException(const LauncherString& message) { throw LauncherException(message); }

void throwLauncherException(const char* message) { throw LauncherException(message); }

void throwLauncherException(const LauncherException& exception) { throw exception; }

}  // namespace nv
