#pragma once
// Starts other programs (all but the self-removal's batch file): a child process from a command
// line, optionally with its standard output and error collected, waited for
// or not. Collecting polls two pipes from the calling thread, with short
// sleeps while the child is quiet, so the child never blocks on a full pipe.

#include <cstdint>

#include "foundation/LauncherException.h"
#include "foundation/LauncherString.h"
#include "foundation/Pause.h"

namespace nv {

struct ProcessRequest {
    LauncherString commandLine;        // refused when empty or longer than Windows allows
    LauncherString workingDirectory;   // empty: the launcher's current directory
    bool console = false;              // off: no window, detached from any console
    bool newConsole = false;           // the child gets a console of its own
    bool capture = false;              // collect standard output and error (always waits)
    bool wait = true;                  // without capture: wait for the child's end
    LauncherString* output = nullptr;  // captured standard output is appended here
    LauncherString* error = nullptr;   // captured standard error is appended here
    // With capture: the seconds the child may run before it is ended and
    // given up; 0 for no limit. A child with a limit is one the launcher may
    // give up, so it is also ended when the user cancels; on Windows with
    // every process it started (a job object), where the system has jobs.
    unsigned timeLimit = 0;
};

// The program run, not the launcher, failed: it could not be started, or it
// was ended because it ran past its time limit or the user cancelled. A
// caller trying candidates counts it against the candidate; to every other
// caller it is a LauncherException like any other.
class ChildProcessFailure : public LauncherException {
public:
    explicit ChildProcessFailure(const LauncherException& failure) : LauncherException(failure) {}
};

// Windows takes a command line of at most this many characters, its ending
// zero included.
constexpr LauncherString::size_type longestCommandLine = 32767;

// Throws LauncherException "There is no command to run." for an empty
// command line and "The command is N characters long; Windows allows
// 32,767." for one the system would refuse.
void checkCommandLine(const LauncherString& commandLine);

// The program a command line starts, as CreateProcess finds it without an
// application name: the text inside leading double quotes, else up to the
// first blank or tab.
LauncherString programOf(const LauncherString& commandLine);

// Throws ChildProcessFailure "CreateProcess failed  ==>  " with the system's
// text for `error`, its inserts naming the command line's program.
[[noreturn]] void throwStartFailure(const LauncherString& commandLine, unsigned long error);

// From the call on, no child is started any more: a thread that comes to
// start one stops there for good, so that nothing new runs while a fault
// ends the process. The fault handler calls it, on whichever thread faulted.
void stopStartingChildren();
bool startingChildrenStopped();

// Runs the child and returns its exit code as a signed 32-bit number (so a
// code above 2^31-1 comes back negative), or 0 without capture and without
// wait. Throws ChildProcessFailure when CreateProcess fails
// (throwStartFailure) and collectOutput's when a limited child is given up.
// Throws LauncherException: checkCommandLine's messages; the system's text
// alone when a pipe cannot be made; "CreateProcess unable to get exit code
// for process ==> ", "CreateProcess unable to wait for completion ==> ",
// "PeekNamedPipe failed  ==>  ", "ReadFile failed  ==>  " or
// "TerminateProcess failed  ==>  " followed by the system's text. A child
// still running when a LauncherException other than ChildProcessFailure
// leaves is left running; the handles and pipes are closed either way.
// A captured child inherits its ends of the two pipes and the launcher's
// standard input, and no other handle where the system lets the launcher name
// them (from Vista on; before, also what the launcher was given inheritable,
// such as its standard handles). Once startingChildrenStopped(), it does not
// return: no child starts.
std::int32_t runProcess(const ProcessRequest& request, Pause& pause = systemPause());

// The two pipes of a captured child.
enum class OutputStream { output, error };

// A started child as the output poll sees it.
class ChildOutput {
public:
    virtual ~ChildOutput() = default;
    // True once the child has ended, its exit code then in code. Decided
    // from the process itself, never from the value of the exit code: a
    // child may end with 259, the value that otherwise means "still active".
    virtual bool ended(std::int32_t& code) = 0;
    // Appends what waits in the stream's pipe (at most 4,096 bytes; a zero
    // byte ends what is appended of a chunk) to sink and returns the number
    // of bytes taken; 0 when nothing waits or the child closed its end.
    virtual std::uint32_t readWaiting(OutputStream stream, LauncherString& sink) = 0;
    // Ends the child at once and returns once it is gone (or after a bounded
    // wait). Throws LauncherException "TerminateProcess failed  ==>  ..." when
    // a child that is still running cannot be ended.
    virtual void end() = 0;
};

// What the poll reads at most once the child has ended: more than the
// system's pipes hold, so all that the child left in them.
constexpr std::uint32_t drainLimit = 1024 * 1024;

// Polls until the child has ended and both pipes are drained: while output
// flows, cycles follow without pause; a cycle that read nothing is followed
// by a look at the child and a 100 ms pause. The drain after the end stops
// at the first cycle that reads nothing, or once it has taken more than a
// pipe holds (drainLimit): a process the child started may hold the pipes
// and write on, and the capture ends with the child all the same. A stream
// without a sink is still drained (into nothing), so the child cannot block
// on it. Each read that took output steps the progress bar by 1. Returns the
// exit code. With request.timeLimit, a child still running when the user has
// cancelled or the limit has passed is ended, and ChildProcessFailure
// "<program> was ended: the run was cancelled." or "<program> did not end
// within N seconds." is thrown. The time is counted in the poll's own steps,
// so that tests need no clock: a quiet cycle counts its pause, a cycle that
// read output 1 ms (more than a read takes), so a child that never stops
// writing is given up too.
std::int32_t collectOutput(ChildOutput& child, const ProcessRequest& request, Pause& pause);

}  // namespace nv
