#include "launcher/RunDriver.h"

#include <memory>

#include "foundation/LauncherException.h"
#include "foundation/Log.h"
#include "foundation/Messages.h"
#include "launcher/ProcessCommandLine.h"
#include "foundation/ProgressUi.h"
#include "foundation/RunSettings.h"
#include "launcher/Run.h"
#include "launcher/RunJob.h"
#include "launcher/RunResult.h"
#include "launcher/VersionBox.h"
#include "text/NumberText.h"

namespace nv {

namespace {

// What one run of the driver keeps between options.
struct DriverState {
    ProgramOutcome outcome;
    bool runInstructions = true;
};

// The option's value, or null when the option is the last argument.
const LauncherString* valueAfter(const StringList& args, std::int32_t& i) {
    if (i + 1 >= args.count()) return nullptr;
    ++i;
    return &args.get(i);
}

void processOptions(const StringList& args, RunSettings& settings, DriverState& state, RunJob& job) {
    for (std::int32_t i = 0; i < args.count(); ++i) {
        const LauncherString& arg = args.get(i);
        if (arg == "-nv:log") {
            if (const LauncherString* v = valueAfter(args, i)) {
                setRunLogPath(*v);
            } else {
                state.outcome.result = launcherFailureResult;
                showMessage(messageText(MessageCode::logFileNameMissing));
            }
        } else if (arg == "-nv:orig") {
            if (const LauncherString* v = valueAfter(args, i)) {
                settings.originalLauncherPath = *v;
                settings.originalLauncher = true;
            } else {
                state.outcome.result = launcherFailureResult;
                showMessage("Missing original launcher file name.");
            }
        } else if (arg == "-nv:tempdir") {
            if (const LauncherString* v = valueAfter(args, i)) settings.tempDirOverride = *v;
        } else if (arg == "-nv:silent") {
            setSilent(true);
        } else if (arg == "-silent") {
            setSilent(true);
            settings.passThrough.append(arg);
        } else if (arg == "-nv:javahome") {
            if (const LauncherString* v = valueAfter(args, i)) settings.userJavaHome = *v;
        } else if (arg == "-nv:extract") {
            job.extractAll();
            setProgress(100);
            state.runInstructions = false;
        } else if (arg == "-nv:in") {
            if (const LauncherString* v = valueAfter(args, i)) {
                InputFileOutcome outcome = job.processInputFile(*v);
                state.runInstructions = outcome.runInstructions;
                if (outcome.failed) state.outcome.result = launcherFailureResult;
            } else {
                showMessage(messageText(MessageCode::inputFileNameMissing));
                state.outcome.result = launcherFailureResult;
                state.runInstructions = false;
            }
        } else if (arg == "-nv:version") {
            const VersionBox box = versionBox(ownVersionResource());
            if (!box.title.empty()) setTitle(box.title);
            showMessage(box.text);
            state.runInstructions = false;
        } else if (arg == "-nv:verifylimit") {
            // Hidden: lets the tests give up a hung verification within seconds.
            const LauncherString* v = valueAfter(args, i);
            std::int32_t seconds = 0;
            if (!v || !readLong(*v, seconds) || seconds < 1) {
                throwLauncherException("-nv:verifylimit needs a number of seconds.");
            }
            settings.verificationTimeLimit = static_cast<unsigned>(seconds);
        } else if (arg == "-nv:javaconsole") {
            settings.javaConsole = true;
        } else if (arg == "-console") {
            settings.javaConsole = true;
            settings.passThrough.append(arg);
        } else if (arg == "-cp:p") {
            if (const LauncherString* v = valueAfter(args, i)) settings.classPathPrefix = *v;
        } else if (arg == "-cp:a") {
            if (const LauncherString* v = valueAfter(args, i)) settings.classPathSuffix = *v;
        } else {
            settings.passThrough.append(arg);
        }
    }
}

}  // namespace

ProgramOutcome runDriver(Run& run, const StringList& arguments) {
    const std::unique_ptr<RunJob> job = launcherJob(run);
    return runDriver(run, arguments, *job);
}

ProgramOutcome runDriver(Run& run, const StringList& arguments, RunJob& job) {
    // A run starts from nothing that an earlier run in this process left in its log or window.
    setRunLogPath(LauncherString());
    startProgressAfresh();
    RunSettings& settings = run.settings;
    for (std::int32_t i = 0; i < arguments.count(); ++i) settings.allArguments.append(arguments.get(i));
    DriverState state;
    try {
        settings.launcherPath = moduleFileName();
        settings.originalLauncherPath = settings.launcherPath;
        setProgress(0);
        processOptions(arguments, settings, state, job);
        if (state.runInstructions) {
            job.loadLauncherFile(Dispatch::yes);
            state.outcome = job.runInstructions();
            setProgress(100);
        }
    } catch (const LauncherException& e) {
        if (!e.boxDeclined()) showMessage(e.message());
        logEntry(e.message(), LogKind::error);
        state.outcome = ProgramOutcome{launcherFailureResult, false};
    }
    return state.outcome;
}

}  // namespace nv
