#pragma once
// Platform hints: registry values whose data is a Java home, written
// [\]HIVE\KEY PATH\VALUE NAME.

#include <functional>

#include "foundation/LauncherString.h"
#include "foundation/StringList.h"
#include "jvm/RegistryQuery.h"

namespace nv {

// A hint cut at its separators.
struct PlatformHintParts {
    LauncherString hiveName;      // between the optional leading "\" and the next "\"; empty without one
    LauncherString keyPath;       // between that "\" and the last "\" (all after it when they are one)
    LauncherString valueName;     // after the last "\"
    LauncherString keyWithValue;  // all after the hive's "\": the key of the second form
};

PlatformHintParts splitPlatformHint(const LauncherString& hint);

// The predefined key of one of the five full hive names, compared exactly;
// false for any other text, abbreviations included.
bool hiveByName(const LauncherString& name, RegistryHive& hive);

// Whether a hint that gives no home says why in a warning: the author's
// hints do; the known installs miss most of theirs on any machine.
enum class HintMisses { warn, quiet };

using RegistryReader =
    std::function<RegistryValue(RegistryHive, const LauncherString& keyPath, const LauncherString& valueName)>;

// The Java home that the hint names: a list of zero or one directory. Reads
// the named value; when it cannot be read (its key missing or the value
// missing, in both registry views), reads the default value of the key that
// includes the value name. When neither reads, writes the warning
// IDS_INVALID_PLATFORM_HINT with the system's error text of the named value's
// read and gives an empty list; an empty text gives an empty list silently.
// Throws LauncherException IDS_INVALID_HIVE (the hive name and the hint) for
// an unknown or missing hive.
StringList resolvePlatformHint(const LauncherString& hint, const RegistryReader& read);
StringList resolvePlatformHint(const LauncherString& hint, Registry& registry = systemRegistry());

// True when a component of the hint's key path is "*": the hint names a
// family of keys. A "*" was never a valid key name.
bool isPlatformHintFamily(const LauncherString& hint);

// The Java homes that a platform hint names. A family: for each key that
// its "*" components stand for, in name order, the named value when it is
// text and not empty; the keys of this process's registry view first, then
// those of the other view; no home twice. When the family gives no home, the
// warning IDS_INVALID_PLATFORM_HINT names it (with `misses` warn). Any other
// hint as resolvePlatformHint. Throws like resolvePlatformHint.
StringList platformHintHomes(const LauncherString& hint, Registry& registry, HintMisses misses);

}  // namespace nv
