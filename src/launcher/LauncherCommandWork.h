#pragma once
// The work behind the instruction commands in a real run, over what the run
// loaded: FIND_JVM searches with the launcher file's JVM files, INSTALL_JVM
// installs the carried JVM, VERIFY proves the JVM of an embedded JVM file,
// LAUNCH and ILAUNCH run the launch script with a JVM file, EXECUTE_LAUNCHER
// starts an embedded launcher.

#include "foundation/ObjectList.h"
#include "instructions/CommandWork.h"
#include "tagfile/TagFile.h"

namespace nv {

class RunContent;
struct Run;

class LauncherCommandWork : public CommandWork {
public:
    // `content` and `run` must outlive this object; the launches leave their
    // error output in the run, for its end.
    LauncherCommandWork(RunContent& content, Run& run) : content_(content), run_(run) {}

    // The JVM search of the launcher file (see findJvm in JvmSearchActions.h).
    FoundJvm findJvm(bool showProgress, bool showFailure) override;

    // launcherFailureResult without a launch script; otherwise loads the JVM
    // file (throws "Unable to load input file: <path>" when it cannot),
    // shows "Running <title>..." for a positive `seconds`, hides the window
    // after `seconds` (at once for 0 or less) and returns the launched
    // program's exit code.
    std::int32_t launch(const LauncherString& jvmFilePath, std::int16_t seconds) override;
    // As launch, with the embedded JVM file of that id; without it (or
    // without a launch script) logs the error line and returns
    // launcherFailureResult.
    std::int32_t launchEmbedded(std::int32_t id, std::int16_t seconds) override;
    // Into a temporary directory, or a directory the user chooses (nothing
    // in a silent run), as the mode says: runs the carried installer there
    // and takes the jvm file it leaves; logs what it installed and how long
    // it took (InstallReport). Throws MessageCode::noJvmInstaller without a
    // carried JVM.
    InstalledJvm installJvm(InstallMode mode) override;
    // Starts the embedded launcher at that index position from a temporary
    // directory that outlives the run, with -nv:orig and this run's
    // arguments, without waiting; logs an error line for any other entry.
    void executeLauncher(std::int32_t position) override;

    // Shows or hides the window, then verifies the embedded JVM file of that
    // id at -nv:javahome (at its own JVM_HOME without one). Throws
    // LauncherException when the id is unknown, names no JVM file, or its
    // JVM file could not be read.
    VerifiedJvm verifyJvm(bool showProgress, bool showFailure, std::int32_t id) override;

private:
    std::int32_t run(TagFile& jvmTags, std::int16_t seconds);

    RunContent& content_;
    Run& run_;
    ObjectList<TagFile> loadedJvmFiles_;  // the JVM files LAUNCH loaded, kept for the run
};

}  // namespace nv

namespace nv {

// The INSTALL_JVM action: runs `installer` in `destination` (with a window
// when `showProgress`), waits, marks the jvm file it left there and returns
// its path. Throws "Unable to load input file: <path>" when it left none.
LauncherString installJvmFromAction(const LauncherString& installer, const LauncherString& destination,
                                    bool showProgress);

}  // namespace nv
