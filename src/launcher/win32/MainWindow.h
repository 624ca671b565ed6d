#pragma once
// The hidden main window: its creation makes the progress dialog and starts
// the worker; its destruction ends the message loop.
#include <windows.h>

#include "launcher/win32/WorkerThread.h"

namespace nv {

class DialogProgressUi;

class MainWindow {
public:
    // ui receives the dialog; it must outlive this object.
    MainWindow(HINSTANCE instance, DialogProgressUi& ui);
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    // Registers the class named by IDS_MAIN_WINDOW_CLASS and creates the
    // window, which creates the dialog (IDD_PROGRESS_LARGE for mode byte 0,
    // else IDD_PROGRESS_SMALL) and starts the worker. False when the window cannot be created.
    bool create();
    HWND handle() const { return window_; }

private:
    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT onMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    bool onCreate(HWND window);
    void onDestroy();

    HINSTANCE instance_;
    DialogProgressUi& ui_;
    HWND window_ = nullptr;
    WorkerThread worker_;
};

}  // namespace nv
