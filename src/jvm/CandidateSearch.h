#pragma once
// The candidate homes of one JVM file's hint search: each home is checked
// once however many hints lead to it, in the order found or, with PREFER:
// NEWEST, newest first.

#include <memory>

#include "foundation/LauncherString.h"
#include "foundation/Log.h"
#include "foundation/ObjectList.h"
#include "foundation/StringList.h"
#include "jvm/JavaVersion.h"
#include "jvm/JvmMatch.h"
#include "jvm/PlatformHint.h"

namespace nv {

class JvmFile;

// The one line a candidate's verdict takes in the run log:
// "Candidate <home> from <source>: <verdict>".
void logCandidate(const LauncherString& home, const LauncherString& source, const LauncherString& verdict,
                  LogKind kind);

enum class CandidateOrder {
    asFound,      // each home checked as soon as a hint gives it: the first that passes wins
    newestFirst,  // all gathered first, then checked newest first
};

class CandidateSearch {
public:
    // `jvmFile` checks the homes with the verification class given.
    CandidateSearch(JvmFile& jvmFile, const LauncherString& classPath, const LauncherString& className,
                    CandidateOrder order);

    // One home that `source` (a hint, for the log) led to; `temporary` for a
    // home beside the launcher. A home already offered is passed over (said
    // in the log with `misses` warn). In found order the home is checked at
    // once; newest first it is gathered with the version its release file
    // gives, and passed over at once when that version is outside the JVM
    // file's range. True once a match is found: nothing more need be offered.
    bool offer(const LauncherString& home, const LauncherString& source, bool temporary, HintMisses misses);

    bool found() const { return match_ != nullptr; }

    // The match: in found order the one found; newest first, the gathered
    // homes are checked newest first (64-bit before 32-bit at one version on
    // 64-bit Windows; homes of unknown version last, in the order found)
    // until one passes.
    std::unique_ptr<JvmMatch> finish();

private:
    struct Gathered {
        LauncherString home;
        LauncherString source;
        bool temporary = false;
        HintMisses misses = HintMisses::warn;
        bool versionKnown = false;
        JavaVersion version;
        int bits = 0;
    };

    bool ranksBefore(const Gathered& a, const Gathered& b) const;
    void check(const Gathered& candidate);

    JvmFile& jvmFile_;
    const LauncherString& classPath_;
    const LauncherString& className_;
    CandidateOrder order_;
    bool wide_;  // 64-bit Windows
    StringList offered_;
    ObjectList<Gathered> gathered_;
    std::unique_ptr<JvmMatch> match_;
};

}  // namespace nv
