#include "jvm/KnownInstalls.h"

namespace nv {

namespace {

// Keys under SOFTWARE of each hive (both registry views are read), with the
// value that holds the home. "*" stands for every version key; the
// Temurin-style vendors keep the home in <JDK|JRE>\<version>\<JVM>\<MSI|EXE>.
const char* const registryPlaces[] = {
    "JavaSoft\\Java Runtime Environment\\*\\JavaHome",  // Oracle 8 and older, Corretto 8, Red Hat 8
    "JavaSoft\\Java Development Kit\\*\\JavaHome",
    "JavaSoft\\JRE\\*\\JavaHome",  // Oracle 9 and 10
    "JavaSoft\\JDK\\*\\JavaHome",  // Oracle 9+, Corretto 11+, Red Hat 11+
    "Eclipse Adoptium\\*\\*\\*\\*\\Path",
    "AdoptOpenJDK\\*\\*\\*\\*\\Path",
    "Eclipse Foundation\\*\\*\\*\\*\\Path",
    "Semeru\\*\\*\\*\\*\\Path",
    "Microsoft\\JDK\\*\\*\\*\\Path",
    "Azul Systems\\Zulu\\*\\InstallationPath",
    "Azul Systems\\Zulu 32-bit\\*\\InstallationPath",
    "BellSoft\\Liberica\\*\\InstallationPath",
    "Amazon\\Amazon Corretto\\*\\MSI\\JavaHome",
    "SapMachine\\*\\*\\JavaHome",
};

const char* const hives[] = {"HKEY_LOCAL_MACHINE\\SOFTWARE\\", "HKEY_CURRENT_USER\\SOFTWARE\\"};

// The installers' default folders, below each root. A 32-bit process sees
// the 32-bit folder as %ProgramFiles%; %ProgramW6432% is the 64-bit one.
const char* const folderRoots[] = {"%ProgramW6432%\\", "%ProgramFiles%\\", "%ProgramFiles(x86)%\\",
                                   "%LOCALAPPDATA%\\Programs\\"};
const char* const folderPlaces[] = {
    "Java\\*",     "Eclipse Adoptium\\*", "AdoptOpenJDK\\*",    "Eclipse Foundation\\*",
    "Semeru\\*",   "Microsoft\\jdk-*",    "Zulu\\zulu-*",       "Amazon Corretto\\*",
    "BellSoft\\*", "SapMachine\\JDK\\*",  "SapMachine\\JRE\\*",
};

const char* const environmentPlaces[] = {"%JAVA_HOME%", "%PATH%"};

template <class T, int N>
constexpr int countOf(T (&)[N]) {
    return N;
}

}  // namespace

bool knownInstall(int index, KnownInstall& place) {
    if (index < 0) return false;
    if (index < countOf(environmentPlaces)) {
        place.registry = false;
        place.hint = environmentPlaces[index];
        return true;
    }
    index -= countOf(environmentPlaces);
    const int registryCount = countOf(hives) * countOf(registryPlaces);
    if (index < registryCount) {
        place.registry = true;
        place.hint =
            joinText({hives[index / countOf(registryPlaces)], registryPlaces[index % countOf(registryPlaces)]});
        return true;
    }
    index -= registryCount;
    if (index < countOf(folderRoots) * countOf(folderPlaces)) {
        place.registry = false;
        place.hint =
            joinText({folderRoots[index / countOf(folderPlaces)], folderPlaces[index % countOf(folderPlaces)]});
        return true;
    }
    return false;
}

}  // namespace nv
