#include "jvm/CandidateSearch.h"

#include "foundation/AsciiCase.h"
#include "foundation/Log.h"
#include "jvm/HomeFacts.h"
#include "jvm/JvmFile.h"
#include "jvm/VersionRange.h"
#include "system/WindowsFamily.h"
#include "text/NumberText.h"
#include "tagfile/TagFile.h"

namespace nv {

namespace {
// Homes compare as Windows compares folders: A-Z without case, a final "\"
// or not.
bool sameHome(const LauncherString& a, const LauncherString& b) {
    std::string_view x(a.str()), y(b.str());
    while (!x.empty() && x.back() == '\\') x.remove_suffix(1);
    while (!y.empty() && y.back() == '\\') y.remove_suffix(1);
    return equalIgnoringAsciiCase(x, y);
}
}  // namespace

void logCandidate(const LauncherString& home, const LauncherString& source, const LauncherString& verdict,
                  LogKind kind) {
    logEntry(joinText({"Candidate ", home, " from ", source, ": ", verdict}), kind);
}

CandidateSearch::CandidateSearch(JvmFile& jvmFile, const LauncherString& classPath, const LauncherString& className,
                                 CandidateOrder order)
    : jvmFile_(jvmFile), classPath_(classPath), className_(className), order_(order), wide_(is64BitWindows()) {}

bool CandidateSearch::offer(const LauncherString& home, const LauncherString& source, bool temporary,
                            HintMisses misses) {
    if (match_ || home.empty()) return found();
    for (std::int32_t i = 0; i < offered_.count(); ++i) {
        if (!sameHome(offered_.get(i), home)) continue;
        if (misses == HintMisses::warn) logCandidate(home, source, "already checked", LogKind::information);
        return false;
    }
    offered_.append(home);
    auto candidate = std::make_unique<Gathered>();
    candidate->home = home;
    candidate->source = source;
    candidate->temporary = temporary;
    candidate->misses = misses;
    if (order_ == CandidateOrder::asFound) {
        check(*candidate);
        return found();
    }
    const HomeFacts facts = readHomeFacts(home, jvmFile_.executablePath(home));
    candidate->bits = facts.bits;
    candidate->versionKnown = candidate->version.read(facts.version, /*suffixAllowed=*/true);
    if (candidate->versionKnown && !javaVersionRange(jvmFile_.tags()).empty() &&
        !javaVersionAdmitted(jvmFile_.tags(), facts.version, home)) {
        logCandidate(home, source, joinText({"Java ", facts.version, ", outside ", javaVersionRange(jvmFile_.tags())}),
                     LogKind::information);
        return false;
    }
    std::int32_t at = gathered_.count();
    while (at > 0 && ranksBefore(*candidate, *gathered_.get(at - 1))) --at;
    gathered_.insert(at == gathered_.count() ? -1 : at, std::move(candidate));
    return false;
}

bool CandidateSearch::ranksBefore(const Gathered& a, const Gathered& b) const {
    if (a.versionKnown != b.versionKnown) return a.versionKnown;
    if (!a.versionKnown) return false;
    if (a.version.isNewerThan(b.version)) return true;
    if (b.version.isNewerThan(a.version)) return false;
    return wide_ && a.bits == 64 && b.bits == 32;
}

void CandidateSearch::check(const Gathered& candidate) {
    match_ = jvmFile_.checkCandidate(candidate.home, candidate.source, candidate.misses, classPath_, className_);
    if (match_ && candidate.temporary) match_->setTemporary(true);
}

std::unique_ptr<JvmMatch> CandidateSearch::finish() {
    if (order_ == CandidateOrder::newestFirst) {
        logEntry(joinText({"Checking ", formatLong(gathered_.count()), " candidates newest first"}));
        for (std::int32_t i = 0; !match_ && i < gathered_.count(); ++i) check(*gathered_.get(i));
    }
    return std::move(match_);
}

}  // namespace nv
