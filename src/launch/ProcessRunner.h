#pragma once
// The one place that starts other programs: a child process from a command
// line, optionally with its standard output and error collected, waited for
// or not. Collecting polls two pipes from the calling thread, with short
// sleeps while the child is quiet, so the child never blocks on a full pipe.

#include <cstdint>

#include "foundation/LauncherString.h"
#include "foundation/Pause.h"

namespace nv {

struct ProcessRequest {
    LauncherString commandLine;       // refused when empty or longer than Windows allows
    LauncherString workingDirectory;  // empty: the launcher's current directory
    bool console = false;             // off: no window, detached from any console
    bool newConsole = false;          // the child gets a console of its own
    bool capture = false;             // collect standard output and error (always waits)
    bool wait = true;                 // without capture: wait for the child's end
    LauncherString* output = nullptr;  // captured standard output is appended here
    LauncherString* error = nullptr;   // captured standard error is appended here
};

// Windows takes a command line of at most this many characters, its ending
// zero included.
constexpr LauncherString::size_type longestCommandLine = 32767;

// Throws LauncherException "There is no command to run." for an empty
// command line and "The command is N characters long; Windows allows
// 32,767." for one the system would refuse.
void checkCommandLine(const LauncherString& commandLine);

// Runs the child and returns its exit code as a signed 32-bit number (so a
// code above 2^31-1 comes back negative), or 0 without capture and without
// wait. Throws LauncherException: checkCommandLine's messages; the system's text alone when a pipe cannot
// be made; "CreateProcess failed  ==>  ", "CreateProcess unable to get exit
// code for process ==> ", "CreateProcess unable to wait for completion ==> ",
// "PeekNamedPipe failed  ==>  " or "ReadFile failed  ==>  " followed by the
// system's text. A child still running when it throws is left running.
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
};

// Polls until the child has ended and both pipes are drained: while output
// flows, cycles follow without pause; a cycle that read nothing is followed
// by a look at the child and a 100 ms pause. A stream without a sink is
// still drained (into nothing), so the child cannot block on it. Returns the
// exit code.
std::int32_t collectOutput(ChildOutput& child, LauncherString* output, LauncherString* error, Pause& pause);

}  // namespace nv
