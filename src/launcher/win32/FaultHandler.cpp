#include "launcher/win32/FaultHandler.h"

#include <windows.h>

#include "cleanup/CleanupList.h"
#include "foundation/Log.h"
#include "foundation/win32/Handles.h"

namespace nv {

namespace {

// Long enough for the clean-up's own bounded retries on a few paths.
constexpr DWORD reportLimit = 30000;

volatile LONG handling = 0;
DWORD faultCode = 0;
DWORD reporterId = 0;

LauncherString hexText(DWORD value) {
    const char digits[] = "0123456789ABCDEF";
    LauncherString text("0x");
    for (int shift = 28; shift >= 0; shift -= 4) text += digits[(value >> shift) & 0xF];
    return text;
}

// Runs on a thread of its own: the faulting thread may have no stack left.
DWORD WINAPI reportFault(LPVOID) {
    logEntry(joinText({"The launcher stopped on a fault (exception code ", hexText(faultCode), ")."}),
             LogKind::error);
    try {
        cleanupList().cleanUp();
    } catch (...) {
    }
    return 0;
}

LONG WINAPI onFault(EXCEPTION_POINTERS* fault) {
    if (InterlockedExchange(&handling, 1) == 0) {
        faultCode = fault && fault->ExceptionRecord ? fault->ExceptionRecord->ExceptionCode : 0;
        KernelHandle reporter(CreateThread(nullptr, 0, reportFault, nullptr, 0, &reporterId));
        if (reporter.valid()) WaitForSingleObject(reporter.get(), reportLimit);
    } else if (GetCurrentThreadId() != reporterId) {
        // The other thread faulted too: the first report ends the process.
        Sleep(INFINITE);
    }
    TerminateProcess(GetCurrentProcess(), static_cast<UINT>(faultExitCode));
    return EXCEPTION_EXECUTE_HANDLER;
}

}  // namespace

void installFaultHandler() {
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
    SetUnhandledExceptionFilter(onFault);
}

}  // namespace nv
