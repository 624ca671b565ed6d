#include "jvm/PlatformHint.h"

#include "foundation/LauncherException.h"
#include "foundation/Log.h"
#include "foundation/Messages.h"
#include "foundation/ResourceText.h"
#include "resources/StringIds.h"

namespace nv {

PlatformHintParts splitPlatformHint(const LauncherString& hint) {
    PlatformHintParts parts;
    const LauncherString::size_type start = hint[0] == '\\' ? 1 : 0;
    const LauncherString::size_type first = hint.find('\\', start);
    if (first == LauncherString::npos) return parts;
    const LauncherString::size_type last = hint.rfind('\\');
    parts.hiveName = hint.substr(start, first - start);
    parts.valueName = hint.substr(last + 1);
    parts.keyWithValue = hint.substr(first + 1);
    parts.keyPath = first == last ? parts.keyWithValue : hint.substr(first + 1, last - first - 1);
    return parts;
}

bool hiveByName(const LauncherString& name, RegistryHive& hive) {
    struct Entry {
        const char* name;
        RegistryHive hive;
    };
    static const Entry hives[] = {
        {"HKEY_LOCAL_MACHINE", RegistryHive::localMachine},
        {"HKEY_CURRENT_USER", RegistryHive::currentUser},
        {"HKEY_USERS", RegistryHive::users},
        {"HKEY_CLASSES_ROOT", RegistryHive::classesRoot},
        {"HKEY_CURRENT_CONFIG", RegistryHive::currentConfig},
    };
    for (const Entry& entry : hives) {
        if (name == entry.name) {
            hive = entry.hive;
            return true;
        }
    }
    return false;
}

StringList resolvePlatformHint(const LauncherString& hint, const RegistryReader& read) {
    StringList homes;
    if (hint.empty()) return homes;
    const PlatformHintParts parts = splitPlatformHint(hint);
    RegistryHive hive;
    if (!hiveByName(parts.hiveName, hive)) {
        throwLauncherException(formatResource(IDS_INVALID_HIVE, parts.hiveName, hint));
    }
    RegistryValue value = read(hive, parts.keyPath, parts.valueName);
    const unsigned long namedError = value.error;
    // Some installers keep the home as the default value of a key named like
    // the value, which may be the only one of the two in either registry
    // view: try it whenever the named value could not be read.
    if (!value.read) value = read(hive, parts.keyWithValue, LauncherString());
    if (!value.read) {
        logEntry(formatResource(IDS_INVALID_PLATFORM_HINT, systemErrorText(namedError)), LogKind::warning);
        return homes;
    }
    if (!value.text.empty()) homes.append(value.text);
    return homes;
}

}  // namespace nv
