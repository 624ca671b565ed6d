#include <cstdlib>

#include "system/Environment.h"

namespace nv {

LauncherString environmentValue(const LauncherString& name) {
    const char* value = std::getenv(name.c_str());
    return value ? LauncherString(value) : LauncherString();
}

bool environmentHas(const LauncherString& name) { return std::getenv(name.c_str()) != nullptr; }

void setEnvironmentValue(const LauncherString& name, const LauncherString& value) {
    setenv(name.c_str(), value.c_str(), 1);
}

void clearEnvironmentValue(const LauncherString& name) { unsetenv(name.c_str()); }

}  // namespace nv
