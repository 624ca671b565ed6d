#include "launcher/win32/WorkerThread.h"

#include "foundation/Log.h"
#include "launcher/ProcessCommandLine.h"
#include "launcher/EndOfRun.h"
#include "launcher/RunResult.h"
#include "foundation/ProgressUi.h"
#include "launcher/RunDriver.h"
#include "launcher/win32/DialogProgressUi.h"
#include "launcher/win32/FaultHandler.h"

namespace nv {

namespace {

// Runs the job and finishes the run (EndOfRun.h) however it went; the
// process's exit code.
int runJob(Run& run, DialogProgressUi& ui, int modeByte) {
    ProgramOutcome outcome{launcherFailureResult, false};
    const StringList commandLine = splitProcessCommandLine();
    if (commandLine.empty()) {
        outcome.result = 0;
    } else {
        StringList arguments;
        for (std::int32_t i = 1; i < commandLine.count(); ++i) arguments.append(commandLine.get(i));
        try {
            outcome = runDriver(run, arguments);
        } catch (...) {
            // The driver reports every LauncherException itself; anything else is a
            // fault of the program, which still ends the run in order, but not unseen.
            logEntry("The launcher stopped on an internal error.", LogKind::error);
        }
    }
    ui.stopTimers();
    return finishRun(run, outcome, modeByte);
}

}  // namespace

bool WorkerThread::start(HWND mainWindow, DialogProgressUi& ui, int modeByte) {
    if (started_) return true;
    mainWindow_ = mainWindow;
    ui_ = &ui;
    modeByte_ = modeByte;
    removeOnFault(run_.files);
    DWORD id = 0;
    handle_.reset(CreateThread(nullptr, 0, threadMain, this, 0, &id));
    started_ = handle_.valid();
    return started_;
}

void WorkerThread::closeHandle() { handle_.reset(); }

DWORD WINAPI WorkerThread::threadMain(LPVOID self) {
    guardThreadStack();
    WorkerThread& worker = *static_cast<WorkerThread*>(self);
    const HWND mainWindow = worker.mainWindow_;
    try {
        worker.exitCode_ = runJob(worker.run_, *worker.ui_, worker.modeByte_);
    } catch (...) {
        // An escaping exception would end the process without its clean-up path.
    }
    worker.finished_ = true;
    PostMessageA(mainWindow, WM_CLOSE, 0, 0);
    return 0;
}

}  // namespace nv
