// Registry values through RegOpenKeyExA and RegQueryValueExA.
#include <windows.h>

#include <vector>

#include "foundation/win32/Handles.h"
#include "jvm/RegistryQuery.h"

namespace nv {

namespace {
HKEY predefinedKey(RegistryHive hive) {
    switch (hive) {
    case RegistryHive::localMachine:
        return HKEY_LOCAL_MACHINE;
    case RegistryHive::currentUser:
        return HKEY_CURRENT_USER;
    case RegistryHive::users:
        return HKEY_USERS;
    case RegistryHive::classesRoot:
        return HKEY_CLASSES_ROOT;
    case RegistryHive::currentConfig:
        return HKEY_CURRENT_CONFIG;
    }
    return HKEY_LOCAL_MACHINE;
}

// The value in one registry view: `view` is 0 (the process's own) or a
// KEY_WOW64_* flag.
RegistryValue readInView(RegistryHive hive, const LauncherString& keyPath, const LauncherString& valueName,
                         REGSAM view) {
    RegistryValue result;
    RegistryKey key;
    LONG status = RegOpenKeyExA(predefinedKey(hive), keyPath.c_str(), 0, KEY_READ | view, key.receive());
    if (status != ERROR_SUCCESS) {
        result.error = static_cast<unsigned long>(status);
        return result;
    }
    DWORD size = 0;
    status = RegQueryValueExA(key.get(), valueName.c_str(), nullptr, nullptr, nullptr, &size);
    if (status != ERROR_SUCCESS) {
        result.error = static_cast<unsigned long>(status);
        return result;
    }
    std::vector<char> buffer(size);
    // The value may have grown since its size was asked: that read fails with
    // ERROR_MORE_DATA and counts as unreadable, never as a longer copy.
    DWORD got = size;
    status =
        RegQueryValueExA(key.get(), valueName.c_str(), nullptr, nullptr, reinterpret_cast<BYTE*>(buffer.data()), &got);
    if (status != ERROR_SUCCESS) {
        result.error = static_cast<unsigned long>(status);
        return result;
    }
    result.read = true;
    result.text = registryDataText(buffer.data(), got < size ? got : size);
    return result;
}

}  // namespace

RegistryValue readRegistryValue(RegistryHive hive, const LauncherString& keyPath, const LauncherString& valueName) {
    // A 64-bit Java runtime registers itself in the 64-bit view, a 32-bit one
    // in the 32-bit view: a value missing from this process's view is looked
    // for in the other one before the hint counts as unreadable.
    const RegistryValue own = readInView(hive, keyPath, valueName, 0);
    if (own.read) return own;
    const REGSAM otherView = sizeof(void*) == 4 ? KEY_WOW64_64KEY : KEY_WOW64_32KEY;
    const RegistryValue other = readInView(hive, keyPath, valueName, otherView);
    return other.read ? other : own;
}

}  // namespace nv
