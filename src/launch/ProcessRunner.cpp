#include "launch/ProcessRunner.h"

#include "foundation/LauncherException.h"
#include "foundation/Messages.h"
#include "foundation/ProgressUi.h"
#include "text/NumberText.h"

#include <atomic>

namespace nv {

namespace {

// Set once by the fault handler, from any thread.
std::atomic<bool> childrenStopped{false};

constexpr unsigned quietPause = 100;
// What a cycle that read output counts for in the time limit.
constexpr unsigned busyCycle = 1;

// One throw site for the runner's ChildProcessFailures (see LauncherException.h).
[[noreturn]] void throwChildFailure(const LauncherString& message) {
    throw ChildProcessFailure(LauncherException(message));
}

// Reads what waits in the stream and steps the progress bar once for a read
// that took output, so the bar moves while a child writes.
std::uint32_t readStep(ChildOutput& child, OutputStream stream, LauncherString& sink) {
    const std::uint32_t read = child.readWaiting(stream, sink);
    if (read != 0) stepProgress(1);
    return read;
}

// Ends a child that may be given up once the user has cancelled or its time
// has run out, and says so.
void giveUpWhenDue(ChildOutput& child, const ProcessRequest& request, std::uint64_t elapsed) {
    const bool cancelled = cancelRequested();
    if (!cancelled && elapsed < request.timeLimit * std::uint64_t{1000}) return;
    child.end();
    const LauncherString program = programOf(request.commandLine);
    if (cancelled) throwChildFailure(program + " was ended: the run was cancelled.");
    throwChildFailure(joinText(
        {program, " did not end within ", formatLong(static_cast<std::int32_t>(request.timeLimit)), " seconds."}));
}
}  // namespace

void stopStartingChildren() { childrenStopped = true; }
bool startingChildrenStopped() { return childrenStopped; }

void checkCommandLine(const LauncherString& commandLine) {
    if (commandLine.empty()) throwLauncherException("There is no command to run.");
    if (commandLine.length() >= longestCommandLine) {
        throwLauncherException(joinText({"The command is ", formatLong(static_cast<std::int32_t>(commandLine.length())),
                                         " characters long; Windows allows 32,767."}));
    }
}

LauncherString programOf(const LauncherString& commandLine) {
    if (commandLine[0] == '"') {
        const LauncherString::size_type close = commandLine.find('"', 1);
        return commandLine.substr(1, close == LauncherString::npos ? close : close - 1);
    }
    return commandLine.substr(0, commandLine.findFirstOf(" \t"));
}

void throwStartFailure(const LauncherString& commandLine, unsigned long error) {
    throwChildFailure(callFailed("CreateProcess", error, programOf(commandLine)).message());
}

std::int32_t collectOutput(ChildOutput& child, const ProcessRequest& request, Pause& pause) {
    LauncherString discarded;
    std::int32_t code = 0;
    bool ended = false;
    std::uint32_t lastRead = 0;
    std::uint32_t drained = 0;  // read since the end was seen
    std::uint64_t elapsed = 0;  // milliseconds, as the poll counts them
    for (;;) {
        if (!ended && request.timeLimit != 0) giveUpWhenDue(child, request, elapsed);
        if (!ended && lastRead == 0) {
            ended = child.ended(code);
            pause.wait(quietPause);
            elapsed += quietPause;
        } else {
            elapsed += busyCycle;
        }
        lastRead = readStep(child, OutputStream::output, request.output ? *request.output : discarded);
        lastRead += readStep(child, OutputStream::error, request.error ? *request.error : discarded);
        discarded = LauncherString();
        if (ended) drained += lastRead;
        if (ended && (lastRead == 0 || drained > drainLimit)) return code;
    }
}

}  // namespace nv
