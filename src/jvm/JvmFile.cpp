#include "jvm/JvmFile.h"

#include "foundation/Log.h"
#include "foundation/ProgressUi.h"
#include "foundation/RunSettings.h"
#include "jvm/FileExists.h"
#include "jvm/FixedDrives.h"
#include "jvm/PathHint.h"
#include "jvm/PlatformHint.h"
#include "tagfile/PathText.h"
#include "tagfile/TagFile.h"

namespace nv {

namespace {
// Relative path hints start at the launcher the user ran, also when this
// process is a copy of it started with -nv:orig.
LauncherString originalLauncherDirectory() { return launcherDirectory(runSettings().originalPath()); }
}  // namespace

LauncherString JvmFile::lookupVariable(const LauncherString& name) const {
    LauncherString value = tags_.value(name);
    if (name == "JVM_HOME" && !value.empty() && value[value.length() - 1] == '\\') {
        value.erase(value.length() - 1, 1);
    }
    return value;
}

LauncherString JvmFile::exeName() const { return tags_.value("JVM_EXE"); }

LauncherString JvmFile::executablePath(const LauncherString& home) const {
    LauncherString path = home;
    ensureTrailingSeparator(path);
    return path + exeName();
}

std::unique_ptr<JvmMatch> JvmFile::checkHome(const LauncherString& home, const LauncherString& classPath,
                                             const LauncherString& className) {
    if (exeName().empty() || home.empty()) return nullptr;
    const LauncherString description = tags_.value("DESC");
    StatusDetailScope restoreDetail;
    setStatusDetail(StatusDetail::verifying, description);
    const LauncherString executable = executablePath(home);
    logEntry(joinText({"Verifying JVM at ", executable, "\n   for JVM: ", description}));
    if (!fileExists(executable)) {
        logEntry(executable + " does not exist");
        stepProgress(2);
        return nullptr;
    }
    if (!verifier_.verifyJvm(*this, home, classPath, className)) return nullptr;
    logEntry("Found matching JVM at " + home);
    return std::make_unique<JvmMatch>(home, false, tags_);
}

bool JvmFile::canVerify() const {
    if (!tags_.value("JVM_PROPERTIES").empty()) return true;
    logEntry(joinText({"Unable to verify ", tags_.sourceName(), " because the JVM_PROPERTIES tag was not specified."}),
             LogKind::warning);
    return false;
}

std::unique_ptr<JvmMatch> JvmFile::searchByPlatformHints(const LauncherString& classPath,
                                                         const LauncherString& className) {
    if (!canVerify()) return nullptr;
    logEntry(joinText({"Searching for ", tags_.value("DESC"), " using platform hints"}));
    std::unique_ptr<JvmMatch> match;
    for (std::int32_t i = 0; !match && i < tags_.valueCount("PLATFORM_HINT"); ++i) {
        const LauncherString hint = tags_.value("PLATFORM_HINT", i);
        if (hint.empty()) continue;
        const StringList homes = resolvePlatformHint(hint);
        if (homes.empty()) continue;
        logEntry(joinText({"Checking JVM at ", homes.get(0), " which was resolved from platform hint ", hint}));
        match = checkHome(homes.get(0), classPath, className);
    }
    return match;
}

std::unique_ptr<JvmMatch> JvmFile::searchByPathHints(const LauncherString& classPath, const LauncherString& className) {
    if (!canVerify()) return nullptr;
    logEntry(joinText({"Searching for ", tags_.value("DESC"), " using path hints"}));
    const StringList drives = fixedDrives();
    const LauncherString launcherDir = originalLauncherDirectory();
    std::unique_ptr<JvmMatch> match;
    for (std::int32_t i = 0; !match && i < tags_.valueCount("PATH_HINT"); ++i) {
        const LauncherString hint = tags_.value("PATH_HINT", i);
        const bool besideLauncher = pathHintKind(hint) == PathHintKind::relative;
        const StringList candidates = pathHintCandidates(hint, drives, launcherDir);
        for (std::int32_t c = 0; !match && c < candidates.count(); ++c) {
            if (!besideLauncher) logEntry("Checking path hint " + candidates.get(c));
            match = checkHome(candidates.get(c), classPath, className);
        }
        // A home beside the launcher is one the setup brought along.
        if (match && besideLauncher) match->setTemporary(true);
    }
    return match;
}

std::unique_ptr<JvmMatch> JvmFile::searchByPlatformPaths(const LauncherString&, const LauncherString&) {
    if (!canVerify()) return nullptr;
    logEntry(joinText({"Searching for ", tags_.value("DESC"), " using platform specific JVM Path hints"}));
    return nullptr;
}

std::unique_ptr<JvmMatch> JvmFile::verifyStatedHome(const LauncherString& classPath, const LauncherString& className) {
    if (!canVerify()) return nullptr;
    return checkHome(tags_.value("JVM_HOME"), classPath, className);
}

}  // namespace nv
