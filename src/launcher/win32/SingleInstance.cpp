#include "launcher/SingleInstance.h"

#include <windows.h>

#include "foundation/win32/Handles.h"

namespace nv {

namespace {

// The topmost visible top-level window of a process: what EnumWindows looks for.
struct WindowSearch {
    DWORD process;
    HWND found;
};

BOOL CALLBACK inspectWindow(HWND window, LPARAM data) {
    WindowSearch& search = *reinterpret_cast<WindowSearch*>(data);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process != search.process || !IsWindowVisible(window)) return TRUE;
    search.found = window;
    return FALSE;
}

}  // namespace

void releaseInstanceClaim(void* claim) { CloseHandle(claim); }

long claimInstance(const LauncherString& name, InstanceClaim& claim) {
    // One named object is the claim and the record: a file mapping that holds
    // the holder's process id and exists while the holder keeps it open.
    KernelHandle mapping(
        CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(DWORD), name.c_str()));
    const bool held = mapping && GetLastError() == ERROR_ALREADY_EXISTS;
    MappedView view(mapping ? MapViewOfFile(mapping.get(), FILE_MAP_WRITE, 0, 0, sizeof(DWORD)) : nullptr);
    DWORD* const id = static_cast<DWORD*>(view.get());
    if (held) return id && *id ? static_cast<long>(*id) : -1;
    if (id) *id = GetCurrentProcessId();
    claim.reset(mapping.release());
    return 0;
}

bool bringProcessForward(long id) {
    WindowSearch search = {static_cast<DWORD>(id), nullptr};
    EnumWindows(inspectWindow, reinterpret_cast<LPARAM>(&search));
    const HWND window = search.found;
    if (!window) return false;
    if (GetWindowLongA(window, GWL_STYLE) & WS_MINIMIZE) ShowWindow(window, SW_RESTORE);
    SetForegroundWindow(window);
    return true;
}

}  // namespace nv
