// The registry through RegOpenKeyExA, RegQueryValueExA and RegEnumKeyExA.
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

REGSAM viewFlag(RegistryView view) {
    if (view == RegistryView::own) return 0;
    return sizeof(void*) == 4 ? KEY_WOW64_64KEY : KEY_WOW64_32KEY;
}

class SystemRegistry : public Registry {
public:
    RegistryValue read(RegistryHive hive, const LauncherString& keyPath, const LauncherString& valueName,
                       RegistryView view) override {
        RegistryValue result;
        RegistryKey key;
        LONG status = RegOpenKeyExA(predefinedKey(hive), keyPath.c_str(), 0, KEY_READ | viewFlag(view), key.receive());
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
        DWORD type = 0;
        status = RegQueryValueExA(key.get(), valueName.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()),
                                  &got);
        if (status != ERROR_SUCCESS) {
            result.error = static_cast<unsigned long>(status);
            return result;
        }
        result.read = true;
        result.isText = type == REG_SZ || type == REG_EXPAND_SZ;
        result.text = registryDataText(buffer.data(), got < size ? got : size);
        return result;
    }

    RegistryKeys subkeys(RegistryHive hive, const LauncherString& keyPath, RegistryView view) override {
        RegistryKeys result;
        RegistryKey key;
        const LONG status =
            RegOpenKeyExA(predefinedKey(hive), keyPath.c_str(), 0, KEY_READ | viewFlag(view), key.receive());
        if (status != ERROR_SUCCESS) {
            result.error = static_cast<unsigned long>(status);
            return result;
        }
        result.opened = true;
        // A key name has at most 255 characters; a longer one is no Java's.
        char name[256];
        for (DWORD index = 0;; ++index) {
            DWORD length = sizeof name;
            const LONG got = RegEnumKeyExA(key.get(), index, name, &length, nullptr, nullptr, nullptr, nullptr);
            if (got == ERROR_MORE_DATA) continue;
            if (got != ERROR_SUCCESS) break;
            result.names.insertInOrder(LauncherString(name, length));
        }
        return result;
    }
};
}  // namespace

Registry& systemRegistry() {
    static SystemRegistry registry;
    return registry;
}

}  // namespace nv
