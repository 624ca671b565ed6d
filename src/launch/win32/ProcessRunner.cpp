// Child processes through CreateProcessA, anonymous pipes and PeekNamedPipe.
#include <windows.h>

#include <cstring>
#include <string>

#include "foundation/LauncherException.h"
#include "foundation/Messages.h"
#include "foundation/ResourceText.h"
#include "foundation/win32/Handles.h"
#include "launch/ProcessRunner.h"

namespace nv {

namespace {

constexpr DWORD chunkSize = 4096;
constexpr unsigned endPause = 500;
// TerminateProcess only starts the end; a child ended on its time limit is
// waited for this long so that it holds no file of the run any more.
constexpr DWORD terminationWait = 10000;

DWORD creationFlags(const ProcessRequest& request) {
    if (request.newConsole) return CREATE_NEW_CONSOLE;
    return request.console ? 0 : CREATE_NO_WINDOW | DETACHED_PROCESS;
}

// The pipes and process of a captured child.
class PipedChild : public ChildOutput {
public:
    PipedChild(HANDLE process, HANDLE output, HANDLE error) : process_(process), output_(output), error_(error) {}

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
        // A child that ended by itself in the meantime cannot be terminated any more.
        if (!TerminateProcess(process_, 1)) {
            const DWORD error = GetLastError();
            if (WaitForSingleObject(process_, 0) != WAIT_OBJECT_0) {
                throwLauncherException(callFailed("TerminateProcess", error));
            }
        }
        WaitForSingleObject(process_, terminationWait);
    }

private:
    HANDLE process_;
    HANDLE output_;
    HANDLE error_;
};

std::int32_t runCaptured(const ProcessRequest& request, char* commandLine, const char* directory, Pause& pause) {
    SECURITY_ATTRIBUTES inheritable = {sizeof inheritable, nullptr, TRUE};
    KernelHandle outputRead, outputWrite, errorRead, errorWrite;
    if (!CreatePipe(outputRead.receive(), outputWrite.receive(), &inheritable, 0) ||
        !CreatePipe(errorRead.receive(), errorWrite.receive(), &inheritable, 0)) {
        throwLauncherException(systemErrorText(GetLastError()));
    }
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = outputWrite.get();
    startup.hStdError = errorWrite.get();
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    PROCESS_INFORMATION created = {};
    if (!CreateProcessA(nullptr, commandLine, &inheritable, &inheritable, TRUE, creationFlags(request), nullptr,
                        directory, &startup, &created)) {
        throwStartFailure(request.commandLine, GetLastError());
    }
    KernelHandle process(created.hProcess);
    KernelHandle thread(created.hThread);
    // Only the child holds the write ends now, so the pipes break when it ends.
    outputWrite.reset();
    errorWrite.reset();

    PipedChild child(process.get(), outputRead.get(), errorRead.get());
    const std::int32_t code = collectOutput(child, request, pause);
    thread.reset();
    process.reset();
    pause.wait(endPause);
    return code;
}

std::int32_t runUncaptured(const ProcessRequest& request, char* commandLine, const char* directory) {
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION created = {};
    if (!CreateProcessA(nullptr, commandLine, nullptr, nullptr, FALSE, creationFlags(request), nullptr, directory,
                        &startup, &created)) {
        throwStartFailure(request.commandLine, GetLastError());
    }
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
