#pragma once
// A description of one acceptable kind of JVM, read from a tag file: how to
// recognise it in a Java home, where it may lie, and the settings a launch
// with it uses.

#include <memory>

#include "foundation/LauncherString.h"
#include "foundation/RunSettings.h"
#include "jvm/CandidateVerifier.h"
#include "jvm/JvmMatch.h"
#include "jvm/PathHint.h"
#include "jvm/PlatformHint.h"
#include "launch/JvmVariables.h"

namespace nv {

class CandidateSearch;
class TagFile;

class JvmFile : public JvmVariables {
public:
    // Refers to `tags`, which must outlive this object (it belongs to a
    // launcher file entry, the list of tag files loaded from disk, or the
    // operation that loaded it). Relative path hints start beside the
    // launcher the user ran (`settings`), and candidates are proven by
    // `verifier`; both must outlive this object too.
    JvmFile(TagFile& tags, const RunSettings& settings, CandidateVerifier& verifier)
        : tags_(tags), settings_(settings), verifier_(verifier) {}
    JvmFile(const JvmFile&) = delete;
    JvmFile& operator=(const JvmFile&) = delete;

    TagFile& tags() const override { return tags_; }

    // The first value of the tag `name`, empty when it is missing; for
    // JVM_HOME a final "\" is removed. Launch scripts read @NAME@ through it.
    LauncherString lookupVariable(const LauncherString& name) const override;

    // The first value of JVM_EXE: the Java executable relative to a home.
    LauncherString exeName() const;

    // The Java executable under `home`: home, "\" unless it ends in one, exeName.
    LauncherString executablePath(const LauncherString& home) const;

    // Checks one candidate home: shows "Verifying <DESC>" as the secondary
    // status while it runs (the previous one comes back afterwards), logs the
    // check, and asks the verifier once the executable exists. Returns a
    // match that keeps `home` as given, or null (silently when JVM_EXE or
    // `home` is empty; after a progress step of 2 when the executable is
    // missing).
    // With a version range, a home whose release file gives a version outside
    // it fails without a Java start.
    std::unique_ptr<JvmMatch> checkHome(const LauncherString& home, const LauncherString& classPath,
                                        const LauncherString& className);

    // checkHome for a home that `source` led to, with one more log line for
    // the verdict (a warning for a missing executable, with `misses` warn).
    std::unique_ptr<JvmMatch> checkCandidate(const LauncherString& home, const LauncherString& source,
                                             HintMisses misses, const LauncherString& classPath,
                                             const LauncherString& className);

    // The hint searches and verifyStatedHome need JVM_PROPERTIES or a version
    // range, something to verify: without either they write a warning and
    // return null at once.

    // The whole hint search: the platform hints, the path hints and, with
    // KNOWN_JAVA_INSTALLS: 1, the known installs, each home checked once;
    // in the order found, or with PREFER: NEWEST the newest first. Throws
    // like the two below.
    std::unique_ptr<JvmMatch> searchByHints(const LauncherString& classPath, const LauncherString& className);

    // Each PLATFORM_HINT in order until one matches. The invalid-hive
    // exception of resolvePlatformHint passes through.
    std::unique_ptr<JvmMatch> searchByPlatformHints(const LauncherString& classPath, const LauncherString& className);
    // Each PATH_HINT in order until one matches: a full path as it is,
    // drive-rooted hints on every fixed drive (both logged as checked),
    // others below the original launcher's directory (a match there is
    // temporary). Throws fixedDrives' exception.
    std::unique_ptr<JvmMatch> searchByPathHints(const LauncherString& classPath, const LauncherString& className);
    // Windows keeps no list of Java executables of its own: always null.
    std::unique_ptr<JvmMatch> searchByPlatformPaths(const LauncherString& classPath, const LauncherString& className);
    // checkHome at the JVM file's own JVM_HOME.
    std::unique_ptr<JvmMatch> verifyStatedHome(const LauncherString& classPath, const LauncherString& className);

private:
    // True when JVM_PROPERTIES has a value or a version range is set;
    // otherwise writes the warning.
    bool canVerify() const;

    // The homes of each kind of hint, offered to `search` until it has found.
    void offerPlatformHints(CandidateSearch& search);
    void offerPathHints(CandidateSearch& search, const PathHintPlace& place);
    void offerKnownInstalls(CandidateSearch& search, const PathHintPlace& place);
    // Where path hints are looked for: the fixed drives (asked once a
    // search), the original launcher's directory and JVM_EXE.
    PathHintPlace pathHintPlace() const;

    enum class Verdict { none, missing, outsideRange, notVerified, taken };
    std::unique_ptr<JvmMatch> checkHome(const LauncherString& home, const LauncherString& classPath,
                                        const LauncherString& className, Verdict& verdict, LauncherString& version);

    TagFile& tags_;
    const RunSettings& settings_;
    CandidateVerifier& verifier_;
};

}  // namespace nv
