#include "jvm/JvmFile.h"

#include "foundation/Log.h"
#include "foundation/ProgressUi.h"
#include "foundation/RunSettings.h"
#include "jvm/CandidateSearch.h"
#include "jvm/FileExists.h"
#include "jvm/FixedDrives.h"
#include "jvm/HomeFacts.h"
#include "jvm/JavaVersion.h"
#include "jvm/KnownInstalls.h"
#include "jvm/PathHint.h"
#include "jvm/PlatformHint.h"
#include "jvm/VersionRange.h"
#include "text/PathText.h"
#include "tagfile/TagFile.h"

namespace nv {

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
    Verdict verdict;
    LauncherString version;
    return checkHome(home, classPath, className, verdict, version);
}

std::unique_ptr<JvmMatch> JvmFile::checkHome(const LauncherString& home, const LauncherString& classPath,
                                             const LauncherString& className, Verdict& verdict,
                                             LauncherString& version) {
    verdict = Verdict::none;
    if (exeName().empty() || home.empty()) return nullptr;
    const LauncherString description = tags_.value("DESC");
    StatusDetailScope restoreDetail;
    setStatusDetail(StatusDetail::verifying, description);
    const LauncherString executable = executablePath(home);
    logEntry(joinText({"Verifying JVM at ", executable, "\n   for JVM: ", description}));
    if (!fileExists(executable)) {
        logEntry(executable + " does not exist");
        stepProgress(2);
        verdict = Verdict::missing;
        return nullptr;
    }
    // The release file names the version: a Java outside the range needs no start.
    version = releaseVersionOf(home);
    JavaVersion readable;
    if (readable.read(version, /*suffixAllowed=*/true) && !javaVersionRange(tags_).empty() &&
        !javaVersionAdmitted(tags_, version, home)) {
        stepProgress(2);
        verdict = Verdict::outsideRange;
        return nullptr;
    }
    if (!verifier_.verifyJvm(*this, home, classPath, className)) {
        verdict = Verdict::notVerified;
        return nullptr;
    }
    logEntry("Found matching JVM at " + home);
    verdict = Verdict::taken;
    return std::make_unique<JvmMatch>(home, false, tags_);
}

std::unique_ptr<JvmMatch> JvmFile::checkCandidate(const LauncherString& home, const LauncherString& source,
                                                  HintMisses misses, const LauncherString& classPath,
                                                  const LauncherString& className) {
    Verdict verdict;
    LauncherString version;
    std::unique_ptr<JvmMatch> match = checkHome(home, classPath, className, verdict, version);
    if (verdict == Verdict::none) return match;
    LauncherString text = version.empty() ? LauncherString() : joinText({"Java ", version, ", "});
    LogKind kind = LogKind::information;
    switch (verdict) {
    case Verdict::missing:
        text += "no " + exeName();
        if (misses == HintMisses::warn) kind = LogKind::warning;
        break;
    case Verdict::outsideRange:
        text += "outside " + javaVersionRange(tags_);
        break;
    case Verdict::notVerified:
        text += "not verified";
        break;
    default:
        text += "taken";
        break;
    }
    logCandidate(home, source, text, kind);
    return match;
}

bool JvmFile::canVerify() const {
    // A version range is a property the verification checks.
    if (!tags_.value("JVM_PROPERTIES").empty() || !javaVersionRange(tags_).empty()) return true;
    logEntry(joinText({"Unable to verify ", tags_.sourceName(), " because the JVM_PROPERTIES tag was not specified."}),
             LogKind::warning);
    return false;
}

void JvmFile::offerPlatformHints(CandidateSearch& search) {
    logEntry(joinText({"Searching for ", tags_.value("DESC"), " using platform hints"}));
    for (std::int32_t i = 0; !search.found() && i < tags_.valueCount("PLATFORM_HINT"); ++i) {
        const LauncherString hint = tags_.value("PLATFORM_HINT", i);
        if (hint.empty()) continue;
        const StringList homes = platformHintHomes(hint, systemRegistry(), HintMisses::warn);
        for (std::int32_t h = 0; h < homes.count(); ++h) {
            logEntry(joinText({"Checking JVM at ", homes.get(h), " which was resolved from platform hint ", hint}));
            if (search.offer(homes.get(h), "platform hint " + hint, false, HintMisses::warn)) break;
        }
    }
}

PathHintPlace JvmFile::pathHintPlace() const {
    PathHintPlace place;
    place.drives = fixedDrives();
    // Relative path hints start at the launcher the user ran, also when this
    // process is a copy of it started with -nv:orig.
    place.launcherDirectory = launcherDirectory(settings_.originalPath());
    place.exeName = exeName();
    return place;
}

void JvmFile::offerPathHints(CandidateSearch& search, const PathHintPlace& place) {
    logEntry(joinText({"Searching for ", tags_.value("DESC"), " using path hints"}));
    for (std::int32_t i = 0; !search.found() && i < tags_.valueCount("PATH_HINT"); ++i) {
        const LauncherString hint = tags_.value("PATH_HINT", i);
        // A home beside the launcher is one the setup brought along.
        const bool besideLauncher = pathHintKind(hint) == PathHintKind::relative && hint[0] != '%';
        const StringList homes = pathHintHomes(hint, place, HintMisses::warn);
        for (std::int32_t h = 0; h < homes.count(); ++h) {
            if (!besideLauncher) logEntry("Checking path hint " + homes.get(h));
            if (search.offer(homes.get(h), "path hint " + hint, besideLauncher, HintMisses::warn)) break;
        }
    }
}

void JvmFile::offerKnownInstalls(CandidateSearch& search, const PathHintPlace& place) {
    logEntry(joinText({"Searching for ", tags_.value("DESC"), " using known Java installs"}));
    KnownInstall known;
    for (int i = 0; !search.found() && knownInstall(i, known); ++i) {
        const StringList homes = known.registry ? platformHintHomes(known.hint, systemRegistry(), HintMisses::quiet)
                                                : pathHintHomes(known.hint, place, HintMisses::quiet);
        const LauncherString source = joinText({"known installs (", known.hint, ")"});
        for (std::int32_t h = 0; h < homes.count(); ++h) {
            if (search.offer(homes.get(h), source, false, HintMisses::quiet)) break;
        }
    }
}

std::unique_ptr<JvmMatch> JvmFile::searchByHints(const LauncherString& classPath, const LauncherString& className) {
    if (!canVerify()) return nullptr;
    const CandidateOrder order =
        tags_.value("PREFER") == "NEWEST" ? CandidateOrder::newestFirst : CandidateOrder::asFound;
    CandidateSearch search(*this, classPath, className, order);
    offerPlatformHints(search);
    if (!search.found()) {
        const PathHintPlace place = pathHintPlace();
        offerPathHints(search, place);
        if (!search.found() && tags_.boolValue("KNOWN_JAVA_INSTALLS", false)) offerKnownInstalls(search, place);
    }
    if (!search.found()) searchByPlatformPaths(classPath, className);
    return search.finish();
}

std::unique_ptr<JvmMatch> JvmFile::searchByPlatformHints(const LauncherString& classPath,
                                                         const LauncherString& className) {
    if (!canVerify()) return nullptr;
    CandidateSearch search(*this, classPath, className, CandidateOrder::asFound);
    offerPlatformHints(search);
    return search.finish();
}

std::unique_ptr<JvmMatch> JvmFile::searchByPathHints(const LauncherString& classPath, const LauncherString& className) {
    if (!canVerify()) return nullptr;
    CandidateSearch search(*this, classPath, className, CandidateOrder::asFound);
    offerPathHints(search, pathHintPlace());
    return search.finish();
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
