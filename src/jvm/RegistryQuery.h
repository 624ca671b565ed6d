#pragma once
// Reading one registry value as text (win32/ and host/ halves); the host has
// no registry and opens no key.

#include <cstddef>

#include "foundation/LauncherString.h"

namespace nv {

// The system's predefined keys that a platform hint may name.
enum class RegistryHive { localMachine, currentUser, users, classesRoot, currentConfig };

// What reading a value gave.
struct RegistryValue {
    bool read = false;        // the value was read; text holds it
    unsigned long error = 0;  // the failing call's system error code
    LauncherString text;
};

// Opens `keyPath` under the hive with read access and reads the value named
// `valueName` (empty: the key's default value), whatever its registry type,
// as text up to its first zero byte: in this process's registry view first,
// then in the other one (32-bit or 64-bit). When neither has it, the result
// is the own view's.
RegistryValue readRegistryValue(RegistryHive hive, const LauncherString& keyPath, const LauncherString& valueName);

// The text of raw registry data: the bytes up to the first zero, or all
// `size` bytes when there is none. Never reads past `size`.
LauncherString registryDataText(const char* data, std::size_t size);

}  // namespace nv
