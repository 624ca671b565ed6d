// Child processes through CreateProcessA, anonymous pipes and PeekNamedPipe;
// a limited child in a job object, so that giving it up ends what it started.
#include <windows.h>

#include <cstring>
#include <string>

#include "foundation/LauncherException.h"
#include "foundation/Messages.h"
#include "foundation/ResourceText.h"
#include "foundation/win32/Handles.h"
#include "launch/ProcessRunner.h"
#include "system/win32/KernelFunction.h"

namespace nv {

namespace {

constexpr DWORD chunkSize = 4096;
constexpr unsigned endPause = 500;
// TerminateProcess only starts the end; a child ended on its time limit is
// waited for this long so that it holds no file of the run any more.
constexpr DWORD terminationWait = 10000;

// What Vista added for naming the handles a child inherits; the build
// targets older systems, whose headers leave it out.
constexpr DWORD extendedStartupInfo = 0x00080000;      // EXTENDED_STARTUPINFO_PRESENT
constexpr DWORD_PTR handleListAttribute = 0x00020002;  // PROC_THREAD_ATTRIBUTE_HANDLE_LIST
struct StartupInfoEx {
    STARTUPINFOA startup;
    void* attributes;  // set by start()
};

DWORD creationFlags(const ProcessRequest& request) {
    if (request.newConsole) return CREATE_NEW_CONSOLE;
    return request.console ? 0 : CREATE_NO_WINDOW | DETACHED_PROCESS;
}

// A copy of handle that a child may inherit; null for no handle, or when it
// cannot be copied.
HANDLE inheritableCopy(HANDLE handle) {
    HANDLE copy = nullptr;
    const HANDLE self = GetCurrentProcess();
    // Not INVALID_HANDLE_VALUE, which stands for this process; null fails by itself.
    if (handle != INVALID_HANDLE_VALUE) DuplicateHandle(self, handle, self, &copy, 0, TRUE, DUPLICATE_SAME_ACCESS);
    return copy;
}

// Creates the child suspended, so that none of it runs once starting children
// has stopped, and so that it is in job (when given; job is emptied when the
// system refuses) before it can start a process of its own; then lets it run.
// The child inherits the `count` handles of `inherited` (which must be
// inheritable) and, where the system cannot name them, every other
// inheritable handle too; none with count 0.
PROCESS_INFORMATION start(const ProcessRequest& request, char* commandLine, const char* directory,
                          StartupInfoEx& startup, HANDLE* inherited, DWORD count, KernelHandle& job) {
    using InitializeAttributes = BOOL(WINAPI*)(void*, DWORD, DWORD, SIZE_T*);
    using UpdateAttribute = BOOL(WINAPI*)(void*, DWORD, DWORD_PTR, void*, SIZE_T, void*, SIZE_T*);
    using DeleteAttributes = void(WINAPI*)(void*);
    using AssignToJob = BOOL(WINAPI*)(HANDLE, HANDLE);
    startup.startup.cb = sizeof startup.startup;
    DWORD flags = creationFlags(request) | CREATE_SUSPENDED;
    alignas(8) char attributes[64];  // one attribute takes 48 bytes on 64-bit Windows
    SIZE_T size = sizeof attributes;
    const auto initialize = kernelFunctionAs<InitializeAttributes>("InitializeProcThreadAttributeList");
    const bool listed = count != 0 && initialize && initialize(attributes, 1, 0, &size);
    if (listed && kernelFunctionAs<UpdateAttribute>("UpdateProcThreadAttribute")(
                      attributes, 0, handleListAttribute, inherited, count * sizeof(HANDLE), nullptr, nullptr)) {
        startup.startup.cb = sizeof startup;
        startup.attributes = attributes;
        flags |= extendedStartupInfo;
    }
    PROCESS_INFORMATION created = {};
    const BOOL made = CreateProcessA(nullptr, commandLine, nullptr, nullptr, count != 0, flags, nullptr, directory,
                                     &startup.startup, &created);
    const DWORD error = GetLastError();
    if (listed) kernelFunctionAs<DeleteAttributes>("DeleteProcThreadAttributeList")(attributes);
    if (!made) throwStartFailure(request.commandLine, error);
    if (startingChildrenStopped()) {
        // The process is ending on a fault: the child never runs, and this thread waits for the end.
        TerminateProcess(created.hProcess, 1);
        for (;;) Sleep(INFINITE);
    }
    if (job && !kernelFunctionAs<AssignToJob>("AssignProcessToJobObject")(job.get(), created.hProcess)) job.reset();
    ResumeThread(created.hThread);
    return created;
}

// The pipes and process of a captured child.
class PipedChild : public ChildOutput {
public:
    PipedChild(HANDLE process, HANDLE job, HANDLE output, HANDLE error)
        : process_(process), job_(job), output_(output), error_(error) {}

    bool ended(std::int32_t& code) override {
        const DWORD state = WaitForSingleObject(process_, 0);
        if (state == WAIT_FAILED) {
            throwLauncherException(systemFailure("CreateProcess unable to wait for completion", GetLastError()));
        }
        if (state != WAIT_OBJECT_0) return false;
        DWORD exitCode = 0;
        if (!GetExitCodeProcess(process_, &exitCode)) {
            throwLauncherException(systemFailure("CreateProcess unable to get exit code for process", GetLastError()));
        }
        code = static_cast<std::int32_t>(exitCode);
        return true;
    }

    std::uint32_t readWaiting(OutputStream stream, LauncherString& sink) override {
        const HANDLE pipe = stream == OutputStream::output ? output_ : error_;
        DWORD waiting = 0;
        if (!PeekNamedPipe(pipe, nullptr, 0, nullptr, &waiting, nullptr)) {
            const DWORD error = GetLastError();
            if (error == ERROR_BROKEN_PIPE) return 0;
            throwLauncherException(callFailed("PeekNamedPipe", error));
        }
        if (waiting == 0) return 0;
        // On the heap: the 32-bit stub is built without stack probes (CMakeLists.txt).
        std::string buffer(chunkSize, '\0');
        DWORD read = 0;
        if (!ReadFile(pipe, &buffer[0], chunkSize, &read, nullptr)) {
            const DWORD error = GetLastError();
            if (error != ERROR_BROKEN_PIPE) throwLauncherException(callFailed("ReadFile", error));
            return 0;
        }
        sink.append(buffer.data(), static_cast<LauncherString::size_type>(strnlen(buffer.data(), read)));
        return read;
    }

    void end() override {
        using TerminateJob = BOOL(WINAPI*)(HANDLE, UINT);
        // With a job, what the child started ends with it; a child that ended
        // by itself in the meantime cannot be terminated any more.
        if (!(job_ && kernelFunctionAs<TerminateJob>("TerminateJobObject")(job_, 1)) &&
            !TerminateProcess(process_, 1)) {
            const DWORD error = GetLastError();
            if (WaitForSingleObject(process_, 0) != WAIT_OBJECT_0) {
                throwLauncherException(callFailed("TerminateProcess", error));
            }
        }
        WaitForSingleObject(process_, terminationWait);
    }

private:
    HANDLE process_;
    HANDLE job_;  // null without one
    HANDLE output_;
    HANDLE error_;
};

std::int32_t runCaptured(const ProcessRequest& request, char* commandLine, const char* directory, Pause& pause) {
    // Not inheritable: the child is given copies of its own ends, and nothing else of the pipes.
    KernelHandle outputRead, outputWrite, errorRead, errorWrite;
    if (!CreatePipe(outputRead.receive(), outputWrite.receive(), nullptr, 0) ||
        !CreatePipe(errorRead.receive(), errorWrite.receive(), nullptr, 0)) {
        throwLauncherException(systemErrorText(GetLastError()));
    }
    outputWrite.reset(inheritableCopy(outputWrite.get()));
    errorWrite.reset(inheritableCopy(errorWrite.get()));
    if (!outputWrite || !errorWrite) throwLauncherException(systemErrorText(GetLastError()));
    KernelHandle input(inheritableCopy(GetStdHandle(STD_INPUT_HANDLE)));
    HANDLE inherited[3] = {outputWrite.get(), errorWrite.get(), input.get()};
    // A console's own handles before Windows 8 (the low two bits set) are no
    // kernel handles: a handle list refuses them, and the child gets them anyway.
    const DWORD count = input && (reinterpret_cast<ULONG_PTR>(input.get()) & 3) != 3 ? 3 : 2;
    KernelHandle job;
    if (request.timeLimit != 0) {
        using CreateJob = HANDLE(WINAPI*)(SECURITY_ATTRIBUTES*, const char*);
        if (const auto createJob = kernelFunctionAs<CreateJob>("CreateJobObjectA"))
            job.reset(createJob(nullptr, nullptr));
    }
    StartupInfoEx startup = {};
    startup.startup.dwFlags = STARTF_USESTDHANDLES;
    startup.startup.hStdOutput = outputWrite.get();
    startup.startup.hStdError = errorWrite.get();
    startup.startup.hStdInput = input.get();
    const PROCESS_INFORMATION created = start(request, commandLine, directory, startup, inherited, count, job);
    KernelHandle process(created.hProcess);
    KernelHandle thread(created.hThread);
    // Only the child holds the write ends now, so the pipes break when it ends.
    outputWrite.reset();
    errorWrite.reset();
    input.reset();

    PipedChild child(process.get(), job.get(), outputRead.get(), errorRead.get());
    const std::int32_t code = collectOutput(child, request, pause);
    thread.reset();
    process.reset();
    pause.wait(endPause);
    return code;
}

std::int32_t runUncaptured(const ProcessRequest& request, char* commandLine, const char* directory) {
    StartupInfoEx startup = {};
    KernelHandle noJob;
    const PROCESS_INFORMATION created = start(request, commandLine, directory, startup, nullptr, 0, noJob);
    const KernelHandle process(created.hProcess);
    const KernelHandle thread(created.hThread);
    if (!request.wait) return 0;
    if (WaitForSingleObject(process.get(), INFINITE) == WAIT_FAILED) {
        throwLauncherException(systemFailure("CreateProcess unable to wait for completion", GetLastError()));
    }
    DWORD exitCode = 0;
    if (!GetExitCodeProcess(process.get(), &exitCode)) {
        throwLauncherException(systemFailure("CreateProcess unable to get exit code for process", GetLastError()));
    }
    return static_cast<std::int32_t>(exitCode);
}

}  // namespace

std::int32_t runProcess(const ProcessRequest& request, Pause& pause) {
    checkCommandLine(request.commandLine);
    // CreateProcessA may write into the command line, so it gets a copy.
    std::string commandLine = request.commandLine.str();
    char* command = &commandLine[0];
    const char* directory = request.workingDirectory.empty() ? nullptr : request.workingDirectory.c_str();
    return request.capture ? runCaptured(request, command, directory, pause)
                           : runUncaptured(request, command, directory);
}

}  // namespace nv
