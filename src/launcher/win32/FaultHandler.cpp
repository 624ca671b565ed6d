#include "launcher/win32/FaultHandler.h"

#include <windows.h>

#include "cleanup/TemporaryFiles.h"
#include "foundation/Log.h"
#include "foundation/win32/Handles.h"
#include "launch/ProcessRunner.h"
#include "system/win32/KernelFunction.h"

namespace nv {

namespace {

// Long enough for the clean-up's own bounded retries on a few paths.
constexpr DWORD reportLimit = 30000;
// What the filter needs after a stack overflow: creating and waiting for a thread.
constexpr ULONG stackReserve = 64 * 1024;

volatile LONG handling = 0;
DWORD faultCode = 0;
volatile DWORD handlerId = 0;   // the thread whose fault is being reported
volatile DWORD reporterId = 0;  // the thread that reports it
TemporaryFiles* runFiles = nullptr;

void report(const LauncherString& message) {
    logEntry(message, LogKind::error);
    try {
        if (runFiles) runFiles->cleanUp();
    } catch (...) {
    }
}

// Runs on a thread of its own: the faulting thread may have no stack left.
DWORD WINAPI reportFault(LPVOID) {
    reporterId = GetCurrentThreadId();
    char message[] = "The launcher stopped on a fault (exception code 0x00000000).";
    char* digit = message + sizeof message - 4;  // the last of the eight, before ")." and the zero
    for (DWORD code = faultCode; code != 0; code >>= 4) *digit-- = "0123456789ABCDEF"[code & 0xF];
    report(message);
    return 0;
}

LONG WINAPI onFault(EXCEPTION_POINTERS* fault) {
    const DWORD self = GetCurrentThreadId();
    if (InterlockedExchange(&handling, 1) == 0) {
        handlerId = self;
        // Whichever thread faulted, the other one starts nothing from now on.
        stopStartingChildren();
        faultCode = fault && fault->ExceptionRecord ? fault->ExceptionRecord->ExceptionCode : 0;
        DWORD id = 0;  // the 9x family refuses a thread without somewhere to put its id
        KernelHandle reporter(CreateThread(nullptr, 0, reportFault, nullptr, 0, &id));
        if (reporter.valid()) WaitForSingleObject(reporter.get(), reportLimit);
    } else if (self != handlerId && self != reporterId) {
        // The other thread faulted too: the first report ends the process
        // (and should it not, this thread does, after the report's time).
        Sleep(reportLimit);
    }
    // The report is done, or the fault came from inside the handler or the
    // report: either way nothing is left to wait for.
    TerminateProcess(GetCurrentProcess(), static_cast<UINT>(faultExitCode));
    return EXCEPTION_EXECUTE_HANDLER;
}

}  // namespace

void endAfterWorkerFault() {
    // The faulting thread has ended, so no filter is reporting any more.
    report("The launcher stopped on a fault: its worker thread ended before the run did.");
    TerminateProcess(GetCurrentProcess(), static_cast<UINT>(faultExitCode));
    for (;;) Sleep(INFINITE);  // TerminateProcess does not return for the calling process
}

void guardThreadStack() {
    // Looked up: 32-bit Windows before Vista lacks it.
    using Guarantee = BOOL(WINAPI*)(PULONG);
    const auto guarantee = kernelFunctionAs<Guarantee>("SetThreadStackGuarantee");
    ULONG size = stackReserve;
    if (guarantee) guarantee(&size);
}

void removeOnFault(TemporaryFiles& files) { runFiles = &files; }

void installFaultHandler() {
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
    SetUnhandledExceptionFilter(onFault);
}

}  // namespace nv
