#include <windows.h>

#include <string>

#include "system/Environment.h"

namespace nv {

LauncherString environmentValue(const LauncherString& name) {
    const DWORD size = GetEnvironmentVariableA(name.c_str(), nullptr, 0);
    if (size <= 1) return LauncherString();
    std::string value(size, '\0');
    const DWORD n = GetEnvironmentVariableA(name.c_str(), &value[0], size);
    return n > 0 && n < size ? LauncherString(value.data(), n) : LauncherString();
}

bool environmentHas(const LauncherString& name) {
    char probe[1];
    SetLastError(ERROR_SUCCESS);
    return GetEnvironmentVariableA(name.c_str(), probe, sizeof probe) > 0 || GetLastError() != ERROR_ENVVAR_NOT_FOUND;
}

void setEnvironmentValue(const LauncherString& name, const LauncherString& value) {
    SetEnvironmentVariableA(name.c_str(), value.c_str());
}

void clearEnvironmentValue(const LauncherString& name) { SetEnvironmentVariableA(name.c_str(), nullptr); }

}  // namespace nv
