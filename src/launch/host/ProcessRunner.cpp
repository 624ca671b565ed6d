// The host stands in with fork, exec of /bin/sh -c and pipes, so portable
// callers of the runner can be tested natively; the poll is the same.
#include <fcntl.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "foundation/LauncherException.h"
#include "foundation/Messages.h"
#include "foundation/ResourceText.h"
#include "foundation/UniqueHandle.h"
#include "launch/ProcessRunner.h"

namespace nv {

namespace {

void closeDescriptor(int fd) { close(fd); }
int noDescriptor() { return -1; }
using Descriptor = UniqueHandle<int, closeDescriptor, noDescriptor>;

constexpr std::size_t chunkSize = 4096;
constexpr unsigned endPause = 500;

pid_t start(const ProcessRequest& request, int output, int error) {
    while (startingChildrenStopped()) pause();
    const pid_t pid = fork();
    if (pid < 0) throwStartFailure(request.commandLine, static_cast<unsigned long>(errno));
    if (pid == 0) {
        if (output >= 0) dup2(output, 1);
        if (error >= 0) dup2(error, 2);
        if (!request.workingDirectory.empty() && chdir(request.workingDirectory.c_str()) != 0) _exit(127);
        execl("/bin/sh", "sh", "-c", request.commandLine.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    return pid;
}

std::int32_t exitCodeOf(int status) { return WIFEXITED(status) ? WEXITSTATUS(status) : -1; }

class PipedChild : public ChildOutput {
public:
    PipedChild(pid_t pid, int output, int error) : pid_(pid), output_(output), error_(error) {}

    bool ended(std::int32_t& code) override {
        int status = 0;
        const pid_t got = waitpid(pid_, &status, WNOHANG);
        if (got < 0)
            throw systemFailure("CreateProcess unable to wait for completion", static_cast<unsigned long>(errno));
        if (got == 0) return false;
        code = exitCodeOf(status);
        return true;
    }

    std::uint32_t readWaiting(OutputStream stream, LauncherString& sink) override {
        const int fd = stream == OutputStream::output ? output_ : error_;
        int waiting = 0;
        if (ioctl(fd, FIONREAD, &waiting) != 0) throw callFailed("PeekNamedPipe", static_cast<unsigned long>(errno));
        if (waiting <= 0) return 0;
        char buffer[chunkSize + 2] = {};
        const ssize_t n = read(fd, buffer, chunkSize);
        if (n < 0) throw callFailed("ReadFile", static_cast<unsigned long>(errno));
        sink.append(LauncherString(
            buffer, static_cast<LauncherString::size_type>(strnlen(buffer, static_cast<std::size_t>(n)))));
        return static_cast<std::uint32_t>(n);
    }

    void end() override {
        if (kill(pid_, SIGKILL) != 0 && errno != ESRCH)
            throw callFailed("TerminateProcess", static_cast<unsigned long>(errno));
        int status = 0;
        waitpid(pid_, &status, 0);
    }

private:
    pid_t pid_;
    int output_;
    int error_;
};

}  // namespace

std::int32_t runProcess(const ProcessRequest& request, Pause& pause) {
    checkCommandLine(request.commandLine);
    if (!request.capture) {
        const pid_t pid = start(request, -1, -1);
        if (!request.wait) return 0;
        int status = 0;
        if (waitpid(pid, &status, 0) < 0) {
            throw systemFailure("CreateProcess unable to wait for completion", static_cast<unsigned long>(errno));
        }
        return exitCodeOf(status);
    }
    int outputPipe[2] = {-1, -1};
    int errorPipe[2] = {-1, -1};
    // Close-on-exec: the child keeps only the ends it is given as 1 and 2.
    if (pipe2(outputPipe, O_CLOEXEC) != 0) throw LauncherException(systemErrorText(static_cast<unsigned long>(errno)));
    Descriptor outputRead(outputPipe[0]), outputWrite(outputPipe[1]);
    if (pipe2(errorPipe, O_CLOEXEC) != 0) throw LauncherException(systemErrorText(static_cast<unsigned long>(errno)));
    Descriptor errorRead(errorPipe[0]), errorWrite(errorPipe[1]);
    const pid_t pid = start(request, outputWrite.get(), errorWrite.get());
    outputWrite.reset();
    errorWrite.reset();
    PipedChild child(pid, outputRead.get(), errorRead.get());
    const std::int32_t code = collectOutput(child, request, pause);
    pause.wait(endPause);
    return code;
}

}  // namespace nv
