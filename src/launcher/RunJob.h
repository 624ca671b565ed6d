#pragma once
// The work that the run driver's options start. The driver decides when;
// a RunJob does it. A run has one (launcherJob); tests give their own.

#include <cstdint>
#include <memory>

#include "foundation/LauncherString.h"
#include "instructions/Instructions.h"
#include "launcher/Dispatch.h"

namespace nv {

// What processing an input file asks of the driver afterwards.
struct InputFileOutcome {
    bool runInstructions = false;  // ACTION RUN_INSTRUCTIONS
    bool failed = false;           // an action that ends the run with launcherFailureResult
};

class RunJob {
public:
    virtual ~RunJob() = default;
    // -nv:extract: every embedded file and input.tag into the current
    // directory. Throws LauncherException with the driver's context text.
    virtual void extractAll() = 0;
    // -nv:in with its value: loads the input file and performs its ACTION.
    // Throws LauncherException for failures that end the run.
    virtual InputFileOutcome processInputFile(const LauncherString& value) = 0;
    // Loads the launcher file index once, with dispatch when asked. Throws
    // LauncherException with the context MessageCode::unableToLoadIndex.
    virtual void loadLauncherFile(Dispatch dispatch) = 0;
    // Runs the instruction program and gives how it ended. Throws
    // LauncherException when the launcher file carries none.
    virtual ProgramOutcome runInstructions() = 0;
};

struct Run;

// The job of `run`, working on the launcher's own file (RunSettings::launcherPath);
// `run` must outlive it.
std::unique_ptr<RunJob> launcherJob(Run& run);

}  // namespace nv
