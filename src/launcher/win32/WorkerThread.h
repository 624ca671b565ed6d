#pragma once
// The worker thread: runs the whole job, then asks the main window to close.
#include <windows.h>

#include <atomic>
#include <cstdint>

#include "foundation/win32/Handles.h"
#include "launcher/Run.h"
#include "launcher/RunResult.h"

namespace nv {

class DialogProgressUi;

class WorkerThread {
public:
    // The destructor closes the handle; it does not wait for the thread.
    WorkerThread() = default;
    WorkerThread(const WorkerThread&) = delete;
    WorkerThread& operator=(const WorkerThread&) = delete;

    // Starts the job once: the driver runs with the process's arguments, the
    // clean-up follows, and WM_CLOSE is posted to mainWindow at the end. ui
    // and this object must outlive the job. modeByte is the launcher file's
    // mode byte (-1 without one). False when the thread cannot be created (a
    // second call does nothing and returns true).
    bool start(HWND mainWindow, DialogProgressUi& ui, int modeByte);
    bool started() const { return started_; }
    // The process's exit code once the job has ended, as the end of the run
    // gave it (EndOfRun.h); launcherFailureResult before, and when the job
    // stopped on something other than a reported failure.
    int exitCode() const { return exitCode_; }
    // Closes the thread's handle; the thread runs on.
    void closeHandle();
    // The thread's handle (null once closed), and whether the job came to
    // its end: a thread that ended without it died on a fault.
    HANDLE handle() const { return handle_.get(); }
    bool finished() const { return finished_; }
    // The run the job drives: made with this object, so that the session's
    // end and a fault can remove its temporary files at any time.
    Run& run() { return run_; }

private:
    static DWORD WINAPI threadMain(LPVOID self);

    KernelHandle handle_;
    bool started_ = false;
    int modeByte_ = -1;
    std::atomic<int> exitCode_{launcherFailureResult};
    std::atomic<bool> finished_{false};
    Run run_;
    HWND mainWindow_ = nullptr;
    DialogProgressUi* ui_ = nullptr;
};

}  // namespace nv
