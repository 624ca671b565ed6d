#include "launcher/win32/MainWindow.h"

#include <string>

#include "archive/LauncherFile.h"
#include "cleanup/TemporaryFiles.h"
#include "foundation/LauncherException.h"
#include "launcher/ProcessCommandLine.h"
#include "launcher/win32/DialogProgressUi.h"
#include "resources/StringIds.h"
#include "system/WindowsFamily.h"

namespace nv {

namespace {

// The class name in the form the window functions of the family take.
std::wstring wideClassName(HINSTANCE instance) {
    const wchar_t* text = nullptr;
    const int n = LoadStringW(instance, IDS_MAIN_WINDOW_CLASS, reinterpret_cast<LPWSTR>(&text), 0);
    return n > 0 ? std::wstring(text, static_cast<std::size_t>(n)) : std::wstring();
}

std::string narrowClassName(HINSTANCE instance) {
    char text[256] = {};
    const int n = LoadStringA(instance, IDS_MAIN_WINDOW_CLASS, text, sizeof text);
    return std::string(text, n > 0 ? static_cast<std::size_t>(n) : 0);
}

}  // namespace

MainWindow::MainWindow(HINSTANCE instance, DialogProgressUi& ui) : instance_(instance), ui_(ui) {}

bool MainWindow::create() {
    // Wide forms outside the 9x family, so that the default procedure and the
    // message loop see messages in the form the window was made with.
    const UINT classStyle = CS_HREDRAW | CS_VREDRAW;
    const HCURSOR arrow = LoadCursor(nullptr, IDC_ARROW);
    const HBRUSH background = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_WINDOW + 1));
    if (windows9xFlag()) {
        const std::string name = narrowClassName(instance_);
        if (name.empty()) return false;
        WNDCLASSEXA wc = {};
        wc.cbSize = sizeof wc;
        wc.style = classStyle;
        wc.lpfnWndProc = procedure;
        wc.hInstance = instance_;
        wc.hCursor = arrow;
        wc.hbrBackground = background;
        wc.lpszClassName = name.c_str();
        RegisterClassExA(&wc);
        window_ = CreateWindowExA(0, name.c_str(), "", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                  CW_USEDEFAULT, nullptr, nullptr, instance_, this);
    } else {
        const std::wstring name = wideClassName(instance_);
        if (name.empty()) return false;
        WNDCLASSEXW wc = {};
        wc.cbSize = sizeof wc;
        wc.style = classStyle;
        wc.lpfnWndProc = procedure;
        wc.hInstance = instance_;
        wc.hCursor = arrow;
        wc.hbrBackground = background;
        wc.lpszClassName = name.c_str();
        RegisterClassExW(&wc);
        window_ = CreateWindowExW(0, name.c_str(), L"", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                                  CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, instance_, this);
    }
    if (!window_) return false;
    ShowWindow(window_, SW_HIDE);
    UpdateWindow(window_);
    return true;
}

LRESULT CALLBACK MainWindow::procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const CREATESTRUCT* create = reinterpret_cast<const CREATESTRUCT*>(lParam);
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    MainWindow* self = reinterpret_cast<MainWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (self) return self->onMessage(window, message, wParam, lParam);
    return windows9xFlag() ? DefWindowProcA(window, message, wParam, lParam)
                           : DefWindowProcW(window, message, wParam, lParam);
}

LRESULT MainWindow::onMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        return onCreate(window) ? 0 : -1;
    case WM_DESTROY:
        onDestroy();
        return 0;
    case WM_ENDSESSION:
        // No exception may cross the system's frames; the clean-up is best effort.
        try {
            worker_.run().files.cleanUp();
        } catch (...) {
        }
        return 0;
    default:
        return windows9xFlag() ? DefWindowProcA(window, message, wParam, lParam)
                               : DefWindowProcW(window, message, wParam, lParam);
    }
}

bool MainWindow::onCreate(HWND window) {
    // A failure here must not cross the system's frames: it fails the creation.
    try {
        window_ = window;
        // The mode byte is read once: it picks the dialog here and the end-of-run message later.
        int modeByte = -1;
        try {
            modeByte = readModeByte(moduleFileName());
        } catch (const LauncherException&) {
            // The run driver meets the same failure and reports it.
        }
        const int templateId = modeByte == 0 ? IDD_PROGRESS_LARGE : IDD_PROGRESS_SMALL;
        if (!ui_.createDialog(instance_, templateId, window)) return false;
        if (!worker_.start(window, ui_, modeByte)) return false;
        ui_.watchWorker(&worker_);
        return true;
    } catch (...) {
        return false;
    }
}

void MainWindow::onDestroy() {
    ui_.destroyDialog();
    worker_.closeHandle();
    // A caller tells a failed run from a good one by the exit code.
    PostQuitMessage(worker_.exitCode());
}

}  // namespace nv
