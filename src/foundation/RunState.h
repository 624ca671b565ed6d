#pragma once
// The process-wide state in one place: what the process sets up before its
// run, the run's settings, and what the run records on its way. The
// functions of each part's own header (runSettings(), cleanupList(),
// setStatus(), ...) read and write it; the run driver, and the tests, start
// from a fresh one with resetRunState. Worker thread only, unless a member
// says otherwise.

#include <atomic>
#include <cstdint>

#include "foundation/LauncherString.h"
#include "foundation/Mutex.h"
#include "foundation/ProgressUi.h"
#include "foundation/RunSettings.h"
#include "foundation/StringList.h"

namespace nv {

// The paths recorded for removal at the end of the run (cleanup/CleanupList.h).
// Both threads use them, under the lock.
struct CleanupPaths {
    Mutex mutex;
    StringList directories;
    StringList files;
};

// The progress window's status line (ProgressUi.h): string ids, -1 for none.
struct StatusLine {
    int primaryResource = -1;
    int secondaryResource = -1;
    StatusDetail secondaryDetail = StatusDetail::none;
    LauncherString secondaryText;
};

// The instruction program's variables N1 to N5 and S1 to S10
// (instructions/VariableStore.h), initially 0 and empty.
struct InstructionVariables {
    static constexpr std::int32_t numberCount = 5;
    static constexpr std::int32_t stringCount = 10;
    std::int32_t numbers[numberCount] = {};
    LauncherString strings[stringCount];
};

struct RunState {
    // Set up by the process before its run; resetRunState keeps them.
    bool windows9x = false;               // the system reports the 9x family (system/WindowsFamily.h)
    LauncherString debugLogPath;          // DBGWIN32KVB once the debug log started; empty: off (Log.h)
    bool runLogSeparatorWritten = false;  // the run log's separator line comes once per process
    ProgressUi* progressUi = nullptr;     // the window the progress operations drive; null: none
    // Set once by the fault handler, from any thread: no child starts after it (launch/ProcessRunner.h).
    std::atomic<bool> childrenStopped{false};

    // The run's own; resetRunState empties them.
    RunSettings settings;       // from the command line and the input file
    LauncherString runLogPath;  // -nv:log or the input file's LOGFILE; empty: no run log
    CleanupPaths cleanup;
    StatusLine status;
    // Set by the user-interface thread and read by long work without a lock.
    std::atomic<bool> cancelRequested{false};
    InstructionVariables variables;
    bool programExited = false;            // the instruction program ended with EXIT (instructions/Instructions.h)
    LauncherString lastLaunchErrorOutput;  // the last launched program's error output (launch/LaunchOutput.h)
    LauncherString systemTemporaryPath;    // the system's temporary path, asked for once when it is first needed
    LauncherString applicationArchive;     // APPLICATION_ARCHIVE's path once it is made
    bool jvmAdviceHeld = false;            // a search's advice waits for a failed end (launcher/EndOfRun.h)
};

// The one instance of the process.
RunState& runState();

// Empties what a run sets and records (the clean-up lists under their lock)
// and keeps what the process set up before it, as at the start of a run.
void resetRunState();

}  // namespace nv
