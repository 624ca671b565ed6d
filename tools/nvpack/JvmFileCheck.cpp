#include "JvmFileCheck.h"

#include "Packer.h"
#include "foundation/AsciiCase.h"
#include "jvm/PlatformHint.h"
#include "text/NumberText.h"

namespace nvpack {

namespace {

// The short names authors carry over from other tools, each with the full
// name the launcher reads; which names it accepts is the launcher's own
// table (hiveByName).
struct HiveSpelling {
    const char* shortName;
    const char* fullName;
};
const HiveSpelling hiveSpellings[] = {
    {"HKLM", "HKEY_LOCAL_MACHINE"}, {"HKCU", "HKEY_CURRENT_USER"},   {"HKU", "HKEY_USERS"},
    {"HKCR", "HKEY_CLASSES_ROOT"},  {"HKCC", "HKEY_CURRENT_CONFIG"},
};

// What to write instead of `hive`: the one full name it abbreviates or
// miswrites in case, else the list of them all.
std::string hiveAdvice(const std::string& hive) {
    for (const HiveSpelling& s : hiveSpellings) {
        if (nv::equalIgnoringAsciiCase(hive, s.shortName) || nv::equalIgnoringAsciiCase(hive, s.fullName)) {
            return std::string("write ") + s.fullName;
        }
    }
    std::string names;
    for (const HiveSpelling& s : hiveSpellings) names += (names.empty() ? "" : ", ") + std::string(s.fullName);
    return "write one of " + names;
}

void checkPlatformHints(const std::string& place, const nv::TagFile& tags) {
    for (std::int32_t i = 0; i < tags.valueCount("PLATFORM_HINT"); ++i) {
        const nv::LauncherString hint = tags.value("PLATFORM_HINT", i);
        if (hint.empty()) continue;  // the search skips it
        const std::string hive = nv::splitPlatformHint(hint).hiveName.str();
        nv::RegistryHive known;
        if (nv::hiveByName(nv::LauncherString(hive), known)) continue;
        const std::string named = hive.empty() ? "names no hive" : "names the hive " + hive;
        throw PackError(place + ": PLATFORM_HINT " + hint.str() + " " + named + "; " + hiveAdvice(hive));
    }
}

bool hasValue(const nv::TagFile& tags, const char* name) {
    for (std::int32_t i = 0; i < tags.valueCount(name); ++i) {
        if (!tags.value(name, i).empty()) return true;
    }
    return false;
}

}  // namespace

void checkJvmSearchKeys(const std::string& place, const nv::TagFile& tags, std::vector<std::string>& warnings) {
    checkPlatformHints(place, tags);
    if (tags.valueCount("PREFER") > 0 && tags.value("PREFER") != "NEWEST") {
        throw PackError(place + ": PREFER must be NEWEST, not \"" + tags.value("PREFER").str() +
                        "\"; leave PREFER out to take the first Java that passes in the hints' order");
    }
    std::int16_t known = 0;
    const nv::LauncherString knownText = tags.value("KNOWN_JAVA_INSTALLS");
    if (tags.valueCount("KNOWN_JAVA_INSTALLS") > 0 &&
        (!nv::readShort(knownText, known) || (known != 0 && known != 1))) {
        throw PackError(place + ": KNOWN_JAVA_INSTALLS must be 0 or 1, not \"" + knownText.str() + "\"");
    }
    const bool hints = hasValue(tags, "PATH_HINT") || hasValue(tags, "PLATFORM_HINT") || known == 1;
    // As the search reads it: an empty first property is none.
    const bool verifiable = !tags.value("JVM_PROPERTIES").empty() || tags.valueCount("MIN_JAVA_VERSION") > 0 ||
                            tags.valueCount("MAX_JAVA_VERSION") > 0;
    if (hints && !verifiable) {
        warnings.push_back(place +
                           ": the hints would never be searched: a JVM file verifies nothing without JVM_PROPERTIES, "
                           "MIN_JAVA_VERSION or MAX_JAVA_VERSION; give one of them");
    }
}

}  // namespace nvpack
