#pragma once
// One run of the launcher: made by the process's worker before the driver
// starts, handed to what needs it (the run's content, the command work, the
// launch script, the search), and finished by the end of the run
// (EndOfRun.h). What the run's parts return comes back to it here.

#include "cleanup/TemporaryFiles.h"
#include "foundation/LauncherString.h"
#include "foundation/RunSettings.h"
#include "launcher/SingleInstance.h"

namespace nv {

struct Run {
    Run() = default;
    Run(const Run&) = delete;
    Run& operator=(const Run&) = delete;

    RunSettings settings;                  // from the command line and the input file
    TemporaryFiles files{settings};        // what the run made, removed at its end
    LauncherString lastLaunchErrorOutput;  // the last launched program's error output, shown if the run fails
    bool jvmAdviceHeld = false;            // a search's advice waits for a failed end (EndOfRun.h)
    InstanceClaim instance;                // SINGLE_INSTANCE's claim, held until the run is gone
};

}  // namespace nv
