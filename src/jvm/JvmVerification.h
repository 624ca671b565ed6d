#pragma once
// Proving a JVM by running the verification class Verify with it: the class
// prints the identification value and then, one a line, the system
// properties named on its command line; JVM_PROPERTIES says what they must be.

#include "foundation/LauncherString.h"
#include "foundation/RunSettings.h"
#include "foundation/StringList.h"
#include "jvm/CandidateVerifier.h"

namespace nv {

class JvmSearch;
class LauncherPayload;
class TagFile;
class TemporaryFiles;

// The line the verification class prints first.
constexpr const char* verifyIdentification = "1739021872";

// The JVM_PROPERTIES pairs of `tags` in order: names and expected values,
// both trimmed. A value without "=" is left out with a warning in the run log.
void readExpectedProperties(const TagFile& tags, StringList& names, StringList& expected);

// The launch command that runs the verification class at `home` with the
// JVM file's JVM_EXE (through @JVM_EXE@) and asks for `names`. The home and
// the class path go in as literals; the class path, quoted or not, becomes
// one element in double quotes.
LauncherString verificationCommand(const LauncherString& home, const LauncherString& classPath,
                                   const LauncherString& className, const StringList& names);

// True when `output` holds the identification line and the lines after it
// agree with `expected` as far as there are lines ("..." at the end of an
// expected value asks for a prefix). Logs "Invalid magic value: " with the
// last line read when the identification line is missing. Sets `firstValue`,
// when given, to the line compared with the first expected value, if any.
bool verificationOutputMatches(const LauncherString& output, const StringList& expected,
                               LauncherString* firstValue = nullptr);

// The real CandidateVerifier: runs the command through a launch script and
// checks what it printed, then steps the progress bar by 6. A JVM file with
// MIN_JAVA_VERSION or MAX_JAVA_VERSION asks for java.version before its
// JVM_PROPERTIES and admits only a version in its range (VersionRange.h).
// Sets the JVM file's JVM_HOME to the home tried. A ChildProcessFailure (the JVM could
// not be started, ran past the time limit or was ended on cancel) is logged
// as a warning "The JVM at <home> failed: <message>" and fails the
// candidate; any other LauncherException passes through.
class JvmVerifier : public CandidateVerifier {
public:
    // The run's settings (the time limit, the launcher's place) and its
    // temporary files, which must outlive it.
    JvmVerifier(const RunSettings& settings, TemporaryFiles& files) : settings_(settings), files_(files) {}

    bool verifyJvm(JvmFile& jvmFile, const LauncherString& home, const LauncherString& classPath,
                   const LauncherString& className) override;

protected:
    // Runs `command` with `jvmFile` as the source of @NAME@ values, within
    // the run settings' verificationTimeLimit, and returns its standard
    // output. Tests replace it.
    virtual LauncherString run(JvmFile& jvmFile, const LauncherString& command);

private:
    const RunSettings& settings_;
    TemporaryFiles& files_;
};

// Fills the search's verification class settings from the launcher file's
// entries of type 5 when both are still empty: they are extracted in index
// order into a new temporary directory of the search's, and the last path written becomes
// the class path (in double quotes) with the class name "Verify" (in double
// quotes). Without such an entry both stay empty. Throws the extraction's
// LauncherException.
void prepareVerifyClass(JvmSearch& search, LauncherPayload& payload);

// What verifyOne shows the user: "Verifying <DESC>" in the window while it
// runs, and MessageCode::jvmNotValid in a box when the JVM fails.
enum class VerifyProgress { hidden, shown };
enum class VerifyFailure { silent, shown };

// Verifies `jvmFile` at `home`, or at its own JVM_HOME when `home` is empty,
// with the search's verification class: the core of VERIFY and VERIFY_JVM.
// Shows the progress and the failure as asked. Returns true with `javaHome`
// set to the verified JVM_HOME.
bool verifyOne(VerifyProgress progress, VerifyFailure failure, JvmFile& jvmFile, const LauncherString& home,
               const JvmSearch& search, LauncherString& javaHome);

}  // namespace nv
