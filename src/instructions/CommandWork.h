#pragma once
// The work behind the instruction commands that reach outside the
// interpreter: the JVM search, verification and installation, the launches
// and the embedded launcher. The interpreter reads and checks the arguments,
// sets the result variables to their "not done" values, calls one operation,
// and stores what it returns. Implementations throw LauncherException for
// failures that end the run.

#include <cstdint>

#include "foundation/LauncherString.h"

namespace nv {

// The outcome of a JVM search.
struct FoundJvm {
    bool found = false;
    LauncherString javaHome;     // the JVM's Java home
    LauncherString jvmFilePath;  // the JVM file written for it
};

// The outcome of a verification.
struct VerifiedJvm {
    bool valid = false;
    LauncherString javaHome;  // the JVM file's JVM_HOME
};

// INSTALL_JVM's modes, with the numbers that a program writes for them.
enum class InstallMode : std::int32_t {
    hidden = 0,        // window hidden, into a new temporary directory
    shown = 1,         // window shown, into a new temporary directory
    chosenFolder = 2,  // window shown, into a folder the user chooses, which stays
};

// The outcome of installing the carried JVM.
struct InstalledJvm {
    bool installed = false;
    LauncherString jvmFilePath;  // the installed JVM file
};

class CommandWork {
public:
    virtual ~CommandWork() = default;

    // FIND_JVM: searches for a JVM that fits one of the JVM files.
    virtual FoundJvm findJvm(bool showProgress, bool showFailure) = 0;

    // VERIFY: verifies the JVM of the embedded JVM file with file id `id`.
    virtual VerifiedJvm verifyJvm(bool showProgress, bool showFailure, std::int32_t id) = 0;

    // INSTALL_JVM: installs the carried JVM.
    virtual InstalledJvm installJvm(InstallMode mode) = 0;

    // LAUNCH: runs the launch script with the JVM file at `jvmFilePath`,
    // keeping the window `seconds`; returns the launch's result.
    virtual std::int32_t launch(const LauncherString& jvmFilePath, std::int16_t seconds) = 0;

    // ILAUNCH: as launch, with the embedded JVM file of file id `id`.
    virtual std::int32_t launchEmbedded(std::int32_t id, std::int16_t seconds) = 0;

    // EXECUTE_LAUNCHER: starts the embedded launcher at `position` (counted
    // from 0) of the file index, without waiting for it.
    virtual void executeLauncher(std::int32_t position) = 0;
};

}  // namespace nv
