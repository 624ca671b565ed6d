#include "launcher/win32/WorkerThread.h"

#include "archive/LauncherFile.h"
#include "cleanup/Cleanup.h"
#include "foundation/Log.h"
#include "launch/LaunchOutput.h"
#include "launcher/CommandLine.h"
#include "launcher/ProgressUi.h"
#include "launcher/RunDriver.h"
#include "launcher/RunSettings.h"
#include "launcher/win32/DialogProgressUi.h"

namespace nv {

namespace {

// Runs the clean-up when the job ends, however it ends; its failures are ignored.
class CleanupScope {
public:
    CleanupScope() = default;
    ~CleanupScope() {
        try {
            runCleanup();
        } catch (...) {
            // Nothing sensible is left to do with a failed clean-up at the end of the run.
        }
    }
    CleanupScope(const CleanupScope&) = delete;
    CleanupScope& operator=(const CleanupScope&) = delete;
};

// Modes 0 and 2 use 1000 as an ordinary ending of the launched program.
bool showsEndOfRunMessage(std::int32_t result, int modeByte) {
    if (result == 0) return false;
    return !((modeByte == 0 || modeByte == 2) && result == 1000);
}

void runJob(DialogProgressUi& ui) {
    const StringList commandLine = splitProcessCommandLine();
    if (commandLine.empty()) return;
    const LauncherString launcherPath = moduleFileName();
    runSettings().launcherPath = launcherPath;
    StringList arguments;
    for (std::int32_t i = 1; i < commandLine.count(); ++i) arguments.append(commandLine.get(i));

    CleanupScope cleanup;
    std::int32_t result = -1;
    try {
        result = runDriver(arguments);
    } catch (...) {
        // The driver reports every LauncherException itself; anything else is a
        // fault of the program, which still ends the run in order, but not unseen.
        logEntry("The launcher stopped on an internal error.", logError);
    }
    ui.stopTimers();
    if (showsEndOfRunMessage(result, launcherModeByte(launcherPath)) && !lastLaunchErrorOutput().empty()) {
        showMessage(lastLaunchErrorOutput());
    }
}

}  // namespace

WorkerThread::~WorkerThread() { closeHandle(); }

bool WorkerThread::start(HWND mainWindow, DialogProgressUi& ui) {
    if (started_) return true;
    mainWindow_ = mainWindow;
    ui_ = &ui;
    DWORD id = 0;
    handle_ = CreateThread(nullptr, 0, threadMain, this, 0, &id);
    started_ = handle_ != nullptr;
    return started_;
}

void WorkerThread::closeHandle() {
    if (handle_) CloseHandle(handle_);
    handle_ = nullptr;
}

DWORD WINAPI WorkerThread::threadMain(LPVOID self) {
    WorkerThread& worker = *static_cast<WorkerThread*>(self);
    const HWND mainWindow = worker.mainWindow_;
    try {
        runJob(*worker.ui_);
    } catch (...) {
        // An escaping exception would end the process without its clean-up path.
    }
    PostMessageA(mainWindow, WM_CLOSE, 0, 0);
    return 0;
}

}  // namespace nv
