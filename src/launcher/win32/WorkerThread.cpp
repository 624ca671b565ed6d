#include "launcher/win32/WorkerThread.h"

#include "cleanup/CleanupList.h"
#include "foundation/Log.h"
#include "foundation/ScopeGuard.h"
#include "launch/LaunchOutput.h"
#include "launcher/ProcessCommandLine.h"
#include "launcher/EndOfRun.h"
#include "launcher/RunResult.h"
#include "foundation/ProgressUi.h"
#include "instructions/Instructions.h"
#include "launcher/RunDriver.h"
#include "launcher/win32/DialogProgressUi.h"
#include "launcher/win32/FaultHandler.h"

namespace nv {

namespace {

// The run's result: 0, launcherFailureResult, or the instruction program's result.
std::int32_t runJob(DialogProgressUi& ui, int modeByte) {
    const StringList commandLine = splitProcessCommandLine();
    if (commandLine.empty()) return 0;
    StringList arguments;
    for (std::int32_t i = 1; i < commandLine.count(); ++i) arguments.append(commandLine.get(i));

    // The clean-up runs however the job ends; a failed clean-up at the end of
    // the run leaves nothing sensible to do.
    ScopeGuard cleanup([] {
        try {
            cleanupList().cleanUp();
        } catch (...) {
        }
    });
    std::int32_t result = launcherFailureResult;
    try {
        result = runDriver(arguments);
    } catch (...) {
        // The driver reports every LauncherException itself; anything else is a
        // fault of the program, which still ends the run in order, but not unseen.
        logEntry("The launcher stopped on an internal error.", LogKind::error);
    }
    ui.stopTimers();
    writeHeldAdvice(exitCodeOf(result, modeByte, programExited()));
    if (isFailedRun(result, modeByte) && !lastLaunchErrorOutput().empty()) {
        showMessage(lastLaunchErrorOutput());
    }
    return result;
}

}  // namespace

bool WorkerThread::start(HWND mainWindow, DialogProgressUi& ui, int modeByte) {
    if (started_) return true;
    mainWindow_ = mainWindow;
    ui_ = &ui;
    modeByte_ = modeByte;
    DWORD id = 0;
    handle_.reset(CreateThread(nullptr, 0, threadMain, this, 0, &id));
    started_ = handle_.valid();
    return started_;
}

void WorkerThread::closeHandle() { handle_.reset(); }

int WorkerThread::exitCode() const { return exitCodeOf(result_, modeByte_, exited_); }

DWORD WINAPI WorkerThread::threadMain(LPVOID self) {
    guardThreadStack();
    WorkerThread& worker = *static_cast<WorkerThread*>(self);
    const HWND mainWindow = worker.mainWindow_;
    try {
        worker.result_ = runJob(*worker.ui_, worker.modeByte_);
        worker.exited_ = programExited();
    } catch (...) {
        // An escaping exception would end the process without its clean-up path.
    }
    worker.finished_ = true;
    PostMessageA(mainWindow, WM_CLOSE, 0, 0);
    return 0;
}

}  // namespace nv
