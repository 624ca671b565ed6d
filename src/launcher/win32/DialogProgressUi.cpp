#include "launcher/win32/DialogProgressUi.h"

#include <commctrl.h>
#include <shlobj.h>

#include "foundation/LauncherException.h"
#include "foundation/ResourceText.h"
#include "foundation/ScopeGuard.h"
#include "foundation/UniqueHandle.h"
#include "launcher/DialogCentring.h"
#include "launcher/win32/FaultHandler.h"
#include "launcher/win32/WorkerThread.h"
#include "resources/StringIds.h"
#include "system/WindowsFamily.h"

namespace nv {

namespace {

const UINT_PTR hideTimer = 1;
const UINT_PTR tickTimer = 2;

// Work that must run on the dialog's own thread (timers belong to the thread
// that owns the window; a step must read and write the bar in one go).
const UINT stepMessage = WM_APP + 1;         // wParam: the step
const UINT startTimersMessage = WM_APP + 2;  // wParam: seconds until hiding
const UINT stopTimersMessage = WM_APP + 3;
const UINT setMessage = WM_APP + 4;  // wParam: the position

// Bar := (position + n) modulo 100, read and written in one go on the dialog's thread.
void stepBar(HWND dialog, WPARAM n) {
    HWND bar = GetDlgItem(dialog, IDC_PROGRESS);
    const unsigned position = static_cast<unsigned>(SendMessageA(bar, PBM_GETPOS, 0, 0));
    // Each part reduced first, so that the sum cannot wrap in 32 bits.
    SendMessageA(bar, PBM_SETPOS, static_cast<WPARAM>((position % 100 + n % 100) % 100), 0);
}

void stopBothTimers(HWND dialog) {
    KillTimer(dialog, hideTimer);
    KillTimer(dialog, tickTimer);
}

INT_PTR handleDialogMessage(HWND dialog, UINT message, WPARAM wParam) {
    switch (message) {
    case WM_INITDIALOG:
        SetDlgItemTextA(dialog, IDC_EXPLANATION, loadText(IDS_PREPARING_WIZARD).c_str());
        return TRUE;
    case WM_CLOSE:
        requestCancel();
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDC_CANCEL) requestCancel();
        return TRUE;
    case WM_TIMER:
        if (wParam == hideTimer) {
            ShowWindow(dialog, SW_HIDE);
            stopBothTimers(dialog);
        } else if (wParam == tickTimer) {
            stepBar(dialog, 5);
        }
        return TRUE;
    case stepMessage:
        stepBar(dialog, wParam);
        return TRUE;
    case setMessage:
        SendDlgItemMessageA(dialog, IDC_PROGRESS, PBM_SETPOS, wParam, 0);
        return TRUE;
    case startTimersMessage:
        SetTimer(dialog, hideTimer, static_cast<UINT>(wParam) * 1000u, nullptr);
        SetTimer(dialog, tickTimer, 100, nullptr);
        return TRUE;
    case stopTimersMessage:
        stopBothTimers(dialog);
        return TRUE;
    default:
        return FALSE;
    }
}

INT_PTR CALLBACK dialogProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    // No exception may cross the system's frames; what fails here is cosmetic.
    try {
        return handleDialogMessage(dialog, message, wParam);
    } catch (...) {
        return TRUE;
    }
}

void centreOnOwner(HWND dialog) {
    RECT d;
    if (!GetWindowRect(dialog, &d)) return;
    const WindowRect dialogRect{d.left, d.top, d.right, d.bottom};
    RECT o;
    HWND owner = GetParent(dialog);
    const bool hasOwner = owner && GetWindowRect(owner, &o);
    const WindowRect ownerRect{hasOwner ? o.left : 0, hasOwner ? o.top : 0, hasOwner ? o.right : 0,
                               hasOwner ? o.bottom : 0};
    const WindowPosition at = centredDialogPosition(dialogRect, hasOwner ? &ownerRect : nullptr,
                                                    GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    MoveWindow(dialog, at.x, at.y, d.right - d.left, d.bottom - d.top, FALSE);
}

// An item list that the folder browser returned is freed through the shell's allocator.
void freeShellItem(LPITEMIDLIST item) {
    IMalloc* allocator = nullptr;
    if (SUCCEEDED(SHGetMalloc(&allocator))) {
        allocator->Free(item);
        allocator->Release();
    }
}
using ShellItem = UniqueHandle<LPITEMIDLIST, freeShellItem, nullHandle<LPITEMIDLIST>>;

}  // namespace

DialogProgressUi::~DialogProgressUi() { destroyDialog(); }

bool DialogProgressUi::createDialog(HINSTANCE instance, int templateId, HWND owner) {
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&controls);
    dialog_ = CreateDialogParamA(instance, MAKEINTRESOURCEA(templateId), owner, dialogProcedure, 0);
    if (!dialog_) return false;
    ShowWindow(dialog_, SW_HIDE);
    centreOnOwner(dialog_);
    return true;
}

void DialogProgressUi::destroyDialog() {
    if (dialog_ && IsWindow(dialog_)) DestroyWindow(dialog_);
    dialog_ = nullptr;
}

void DialogProgressUi::stopTimers() {
    if (dialog_) SendMessageA(dialog_, stopTimersMessage, 0, 0);
}

int DialogProgressUi::runMessageLoop() {
    const bool narrow = windows9xFlag();
    MSG msg;
    for (;;) {
        while (narrow ? PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE) : PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) return static_cast<int>(msg.wParam);
            if (dialog_ && (narrow ? IsDialogMessageA(dialog_, &msg) : IsDialogMessageW(dialog_, &msg))) continue;
            TranslateMessage(&msg);
            if (narrow) {
                DispatchMessageA(&msg);
            } else {
                DispatchMessageW(&msg);
            }
        }
        HANDLE worker = worker_ ? worker_->handle() : nullptr;
        const DWORD woke = MsgWaitForMultipleObjects(worker ? 1 : 0, &worker, FALSE, INFINITE, QS_ALLINPUT);
        if (woke == WAIT_FAILED) return -1;
        if (worker && woke == WAIT_OBJECT_0) {
            if (!worker_->finished()) endAfterWorkerFault();
            worker_ = nullptr;  // its WM_CLOSE is on its way
        }
    }
}

void DialogProgressUi::setStatusText(const LauncherString& text) { SetDlgItemTextA(dialog_, IDC_STATUS, text.c_str()); }

void DialogProgressUi::setStatusTexts(const LauncherString& one, const LauncherString& two) {
    setStatusText(formatText("%1!s! %2!s!", one, two));
}

HWND DialogProgressUi::progressBar() const {
    HWND bar = dialog_ ? GetDlgItem(dialog_, IDC_PROGRESS) : nullptr;
    if (!bar) throwLauncherException(loadText(IDS_NO_PROGRESS_BAR));
    return bar;
}

void DialogProgressUi::stepProgress(unsigned n) {
    progressBar();
    // Posted, not sent: a worker that steps while the user-interface thread
    // waits for it (the session-end clean-up) must not wait in turn.
    PostMessageA(dialog_, stepMessage, static_cast<WPARAM>(n), 0);
}

void DialogProgressUi::setProgress(int n) {
    progressBar();
    // Posted like the steps, so that the bar takes both in the order given.
    PostMessageA(dialog_, setMessage, static_cast<WPARAM>(n), 0);
}

void DialogProgressUi::show() { ShowWindow(dialog_, SW_SHOWNORMAL); }

void DialogProgressUi::hideAfter(std::uint16_t seconds) {
    if (HWND cancel = GetDlgItem(dialog_, IDC_CANCEL)) EnableWindow(cancel, FALSE);
    if (seconds == 0) {
        ShowWindow(dialog_, SW_HIDE);
    } else {
        SendMessageA(dialog_, startTimersMessage, seconds, 0);
    }
}

bool DialogProgressUi::isVisible() { return dialog_ && IsWindowVisible(dialog_); }

void DialogProgressUi::showMessage(const LauncherString& text) {
    MessageBoxA(dialog_, text.c_str(), getTitle().c_str(), MB_OK);
}

LauncherString DialogProgressUi::getTitle() {
    char title[512] = {};
    const int n = dialog_ ? GetWindowTextA(dialog_, title, sizeof title) : 0;
    return LauncherString(title, n > 0 ? static_cast<LauncherString::size_type>(n) : 0);
}

void DialogProgressUi::setTitle(const LauncherString& text) { SetWindowTextA(dialog_, text.c_str()); }

LauncherString DialogProgressUi::chooseDirectory() {
    // The component library for this thread, for as long as the browser needs it.
    const bool initialised = SUCCEEDED(CoInitialize(nullptr));
    ScopeGuard uninitialise([initialised] {
        if (initialised) CoUninitialize();
    });
    const LauncherString title = loadText(IDS_CHOOSE_DESTINATION);
    char displayName[MAX_PATH] = {};
    BROWSEINFOA info = {};
    info.hwndOwner = dialog_;
    info.pszDisplayName = displayName;
    info.lpszTitle = title.c_str();
    info.ulFlags = BIF_DONTGOBELOWDOMAIN;
    ShellItem item(SHBrowseForFolderA(&info));
    if (!item.get()) return LauncherString();
    char path[MAX_PATH] = {};
    if (!SHGetPathFromIDListA(item.get(), path)) return LauncherString();
    return LauncherString(path);
}

}  // namespace nv
