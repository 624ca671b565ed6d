#pragma once
// The one JVM search of a run: the JVM files in order of preference, the
// verification class to prove candidates with, and the search itself (the
// user's Java home, each JVM file's hints, and the scan of the fixed drives).

#include <memory>

#include "foundation/LauncherString.h"
#include "foundation/RunSettings.h"
#include "foundation/ObjectList.h"
#include "foundation/StringList.h"
#include "jvm/JvmFile.h"
#include "jvm/JvmMatch.h"
#include "jvm/JvmVerification.h"

namespace nv {

// The Java homes that the disk scan found for one JVM file and left to be
// verified after the walk: in the order found, none twice.
struct UnverifiedHomes {
    JvmFile* jvmFile = nullptr;  // owned by the JvmSearch's list
    StringList homes;
};

class JvmSearch {
public:
    // The run's settings (-nv:javahome, the launcher's place, the
    // verification's time limit) and its temporary files, which must outlive
    // it; its candidates are proven by verifier() unless a JVM file has another.
    JvmSearch(const RunSettings& settings, TemporaryFiles& files)
        : settings_(settings), files_(files), verifier_(settings, files) {}
    JvmSearch(const JvmSearch&) = delete;
    JvmSearch& operator=(const JvmSearch&) = delete;

    const RunSettings& settings() const { return settings_; }
    TemporaryFiles& temporaryFiles() const { return files_; }
    // The real verifier of the run, which runs the verification class.
    CandidateVerifier& verifier() { return verifier_; }

    ObjectList<JvmFile>& jvmFiles() { return jvmFiles_; }
    const ObjectList<JvmFile>& jvmFiles() const { return jvmFiles_; }

    // Set from an input file's VERIFY_CLASSPATH and VERIFY_CLASS_NAME; empty
    // means the embedded verification archive is used.
    LauncherString verifyClassPath;
    LauncherString verifyClassName;

    // Appends at most one match: the user's -nv:javahome checked against each
    // JVM file, else each JVM file's platform hints, path hints and platform
    // paths in turn; a JVM file with SEARCH_ALL whose hints find nothing
    // starts the disk scan, which ends at the first working JVM of the first
    // JVM file. Throws the LauncherException of a hint, drive or listing
    // failure.
    void findFirst(ObjectList<JvmMatch>& results);

    // Appends every match of the disk scan, in the order verified. Throws
    // like findFirst.
    void findAll(ObjectList<JvmMatch>& results);

    // Walks every fixed drive for the JVM files' executables (not entering
    // the base temporary directory, the drive-root recycle bins RECYCLE* and
    // $RECYCLE.BIN, or linked directories), then verifies the homes recorded
    // on the way unless a match was already found.
    void exhaustiveSearch(ObjectList<JvmMatch>& results);

    // The walker's report of a file whose path ends in some JVM file's
    // JVM_EXE (case ignored). Records the home for each JVM file whose
    // JVM_EXE it ends in exactly; while findFirst scans, the first JVM file's
    // home is checked at once instead. True when that check matched, which
    // stops the walk.
    bool fileFound(const LauncherString& path);

    // Verifies the recorded homes group by group, appending each match;
    // with stop-at-first set, stops after one. Stops when the user cancels.
    void verifyUnverified(ObjectList<JvmMatch>& results);

    // The homes recorded by the current scan, groups in the order of their
    // first home.
    const ObjectList<UnverifiedHomes>& unverified() const { return unverified_; }

    // Set while findFirst runs the disk scan: the first JVM file's homes are
    // checked as they are met.
    void setStopAtFirst(bool stop) { stopAtFirst_ = stop; }

    // The match held back by the current search (found at once during a
    // scan); null when there is none.
    const JvmMatch* found() const { return found_.get(); }

private:
    // Forgets what the previous search found and recorded.
    void startSearch();
    void recordUnverified(JvmFile& jvmFile, const LauncherString& home);

    const RunSettings& settings_;
    TemporaryFiles& files_;
    JvmVerifier verifier_;
    ObjectList<JvmFile> jvmFiles_;
    std::unique_ptr<JvmMatch> found_;
    bool stopAtFirst_ = false;
    ObjectList<UnverifiedHomes> unverified_;
};

}  // namespace nv
