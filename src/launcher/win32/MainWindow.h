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

    // Registers the class named by resource 1 and creates the window, which
    // creates the dialog (101 for mode byte 0, else 103) and starts the
    // worker. False when the window cannot be created.
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
