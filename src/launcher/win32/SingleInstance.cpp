#include "launcher/SingleInstance.h"

#include <windows.h>
#include <tlhelp32.h>

#include "foundation/win32/Handles.h"

namespace nv {

// The claim is a mutex that exists while a holder keeps it open; beside it a
// file mapping tells a later start the holder's process id.
struct InstanceClaim::Objects {
    KernelHandle mutex;
    KernelHandle holder;
};

namespace {

LauncherString holderName(const LauncherString& name) { return name + "-holder"; }

// What the window search looks for and finds.
struct WindowSearch {
    DWORD holder = 0;
    DWORD children[16] = {};  // the processes the holder started, as far as they fit
    int childCount = 0;
    HWND own = nullptr;    // the holder's topmost visible window
    HWND child = nullptr;  // else a child's
};

BOOL CALLBACK inspectWindow(HWND window, LPARAM data) {
    WindowSearch& search = *reinterpret_cast<WindowSearch*>(data);
    if (!IsWindowVisible(window)) return TRUE;
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process == search.holder) {
        search.own = window;
        return FALSE;
    }
    for (int i = 0; i < search.childCount && !search.child; ++i) {
        if (process == search.children[i]) search.child = window;
    }
    return TRUE;
}

}  // namespace

InstanceClaim::InstanceClaim() = default;
InstanceClaim::~InstanceClaim() = default;

bool InstanceClaim::claim(const LauncherString& name) {
    auto objects = std::make_unique<Objects>();
    objects->mutex.reset(CreateMutexA(nullptr, FALSE, name.c_str()));
    if (objects->mutex && GetLastError() == ERROR_ALREADY_EXISTS) return false;
    objects->holder.reset(
        CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(DWORD), holderName(name).c_str()));
    if (objects->holder) {
        MappedView view(MapViewOfFile(objects->holder.get(), FILE_MAP_WRITE, 0, 0, sizeof(DWORD)));
        if (view) *static_cast<DWORD*>(view.get()) = GetCurrentProcessId();
    }
    objects_ = std::move(objects);
    return true;
}

bool bringInstanceForward(const LauncherString& name) {
    WindowSearch search;
    {
        KernelHandle holder(OpenFileMappingA(FILE_MAP_READ, FALSE, holderName(name).c_str()));
        MappedView view(holder ? MapViewOfFile(holder.get(), FILE_MAP_READ, 0, 0, sizeof(DWORD)) : nullptr);
        if (!view) return false;
        search.holder = *static_cast<const DWORD*>(view.get());
    }
    if (search.holder == 0) return false;  // the holder has not written it yet
    FileHandle processes(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL more = processes && Process32First(processes.get(), &entry); more && search.childCount < 16;
         more = Process32Next(processes.get(), &entry)) {
        if (entry.th32ParentProcessID == search.holder) search.children[search.childCount++] = entry.th32ProcessID;
    }
    EnumWindows(inspectWindow, reinterpret_cast<LPARAM>(&search));
    const HWND window = search.own ? search.own : search.child;
    if (!window) return false;
    if (IsIconic(window)) ShowWindow(window, SW_RESTORE);
    SetForegroundWindow(window);
    return true;
}

}  // namespace nv
