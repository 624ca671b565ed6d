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

namespace {

RegistryHive hiveOf(const LauncherString& hint, const PlatformHintParts& parts) {
    RegistryHive hive;
    if (!hiveByName(parts.hiveName, hive)) {
        throwLauncherException(formatResource(IDS_INVALID_HIVE, parts.hiveName, hint));
    }
    return hive;
}

// The warning names the hint: a JVM file has several, and the system's text
// alone does not say which one missed.
void warnUnreadable(const LauncherString& hint, unsigned long error) {
    logEntry(formatResource(IDS_INVALID_PLATFORM_HINT, joinText({hint, ": ", systemErrorText(error)})),
             LogKind::warning);
}

// Where the first "*" component of `keyPath` begins; npos without one.
LauncherString::size_type familyStar(const LauncherString& keyPath) {
    const LauncherString padded = joinText({"\\", keyPath, "\\"});
    return padded.find("\\*\\");
}

// The keys that `keyPath` stands for in one view, each "*" replaced by the
// name of every sub-key there.
void expandFamily(Registry& registry, RegistryHive hive, RegistryView view, const LauncherString& keyPath,
                  StringList& keys) {
    const LauncherString::size_type star = familyStar(keyPath);
    if (star == LauncherString::npos) {
        keys.append(keyPath);
        return;
    }
    const LauncherString parent = keyPath.substr(0, star == 0 ? 0 : star - 1);
    const LauncherString rest = star + 2 <= keyPath.length() ? keyPath.substr(star + 2) : LauncherString();
    const RegistryKeys found = registry.subkeys(hive, parent, view);
    for (std::int32_t i = 0; i < found.names.count(); ++i) {
        const LauncherString& name = found.names.get(i);
        if (name == "*") continue;  // it would stand for itself again
        LauncherString child = parent.empty() ? name : joinText({parent, "\\", name});
        if (!rest.empty()) child = joinText({child, "\\", rest});
        expandFamily(registry, hive, view, child, keys);
    }
}

}  // namespace

bool isPlatformHintFamily(const LauncherString& hint) {
    return !hint.empty() && familyStar(splitPlatformHint(hint).keyPath) != LauncherString::npos;
}

StringList platformHintHomes(const LauncherString& hint, Registry& registry, HintMisses misses) {
    if (!isPlatformHintFamily(hint)) return resolvePlatformHint(hint, registry);
    const PlatformHintParts parts = splitPlatformHint(hint);
    const RegistryHive hive = hiveOf(hint, parts);
    StringList homes;
    for (const RegistryView view : {RegistryView::own, RegistryView::other}) {
        StringList keys;
        expandFamily(registry, hive, view, parts.keyPath, keys);
        for (std::int32_t i = 0; i < keys.count(); ++i) {
            const RegistryValue value = registry.read(hive, keys.get(i), parts.valueName, view);
            // Installers keep flags as numbers beside the text values.
            if (!value.read || !value.isText || value.text.empty()) continue;
            bool known = false;
            for (std::int32_t h = 0; !known && h < homes.count(); ++h) known = homes.get(h) == value.text;
            if (!known) homes.append(value.text);
        }
    }
    // No key of the family holds the value: for the author as if it were missing.
    if (homes.empty() && misses == HintMisses::warn) warnUnreadable(hint, 2);
    return homes;
}

StringList resolvePlatformHint(const LauncherString& hint, Registry& registry) {
    return resolvePlatformHint(hint,
                               [&registry](RegistryHive hive, const LauncherString& key, const LauncherString& value) {
                                   return readRegistryValue(hive, key, value, registry);
                               });
}

StringList resolvePlatformHint(const LauncherString& hint, const RegistryReader& read) {
    StringList homes;
    if (hint.empty()) return homes;
    const PlatformHintParts parts = splitPlatformHint(hint);
    const RegistryHive hive = hiveOf(hint, parts);
    RegistryValue value = read(hive, parts.keyPath, parts.valueName);
    const unsigned long namedError = value.error;
    // Some installers keep the home as the default value of a key named like
    // the value, which may be the only one of the two in either registry
    // view: try it whenever the named value could not be read.
    if (!value.read) value = read(hive, parts.keyWithValue, LauncherString());
    if (!value.read) {
        warnUnreadable(hint, namedError);
        return homes;
    }
    if (!value.text.empty()) homes.append(value.text);
    return homes;
}

}  // namespace nv
