#pragma once
// Reading the registry as text (win32/ and host/ halves); the host has no
// registry and opens no key.

#include <cstddef>

#include "foundation/LauncherString.h"
#include "foundation/StringList.h"

namespace nv {

// The system's predefined keys that a platform hint may name.
enum class RegistryHive { localMachine, currentUser, users, classesRoot, currentConfig };

// The process's own registry view, or the other one (32-bit for a 64-bit
// process, 64-bit for a 32-bit one).
enum class RegistryView { own, other };

// What reading a value gave.
struct RegistryValue {
    bool read = false;        // the value was read; text holds it
    unsigned long error = 0;  // the failing call's system error code
    bool isText = false;      // a text value (REG_SZ or REG_EXPAND_SZ)
    LauncherString text;
};

// The names of a key's sub-keys.
struct RegistryKeys {
    bool opened = false;      // the key opened and was enumerated
    unsigned long error = 0;  // otherwise the failing call's system error code
    StringList names;         // in name order
};

// The registry as the JVM search reads it; tests put their own in its place.
class Registry {
public:
    virtual ~Registry() = default;
    // Opens `keyPath` under the hive with read access in one view and reads
    // the value named `valueName` (empty: the key's default value), whatever
    // its registry type, as text up to its first zero byte.
    virtual RegistryValue read(RegistryHive hive, const LauncherString& keyPath, const LauncherString& valueName,
                               RegistryView view) = 0;
    virtual RegistryKeys subkeys(RegistryHive hive, const LauncherString& keyPath, RegistryView view) = 0;
};

// The system's registry.
Registry& systemRegistry();

// The value in this process's registry view first, then in the other one:
// a 64-bit Java runtime registers itself in the 64-bit view, a 32-bit one in
// the 32-bit view. When neither has it, the result is the own view's.
RegistryValue readRegistryValue(RegistryHive hive, const LauncherString& keyPath, const LauncherString& valueName,
                                Registry& registry = systemRegistry());

// The text of raw registry data: the bytes up to the first zero, or all
// `size` bytes when there is none. Never reads past `size`.
LauncherString registryDataText(const char* data, std::size_t size);

}  // namespace nv
