#pragma once
// The worker thread: runs the whole job, then asks the main window to close.
#include <windows.h>

namespace nv {

class DialogProgressUi;

class WorkerThread {
public:
    WorkerThread() = default;
    // Closes the handle; does not wait for the thread.
    ~WorkerThread();
    WorkerThread(const WorkerThread&) = delete;
    WorkerThread& operator=(const WorkerThread&) = delete;

    // Starts the job once: the driver runs with the process's arguments, the
    // clean-up follows, and WM_CLOSE is posted to mainWindow at the end. ui
    // and this object must outlive the job. False when the thread cannot be
    // created (a second call does nothing and returns true).
    bool start(HWND mainWindow, DialogProgressUi& ui);
    bool started() const { return started_; }
    // Closes the thread's handle; the thread runs on.
    void closeHandle();

private:
    static DWORD WINAPI threadMain(LPVOID self);

    HANDLE handle_ = nullptr;
    bool started_ = false;
    HWND mainWindow_ = nullptr;
    DialogProgressUi* ui_ = nullptr;
};

}  // namespace nv
