#pragma once
// The last word on a fault that no code caught (an access violation, a stack
// overflow) on either thread. No system fault box may wait for a click in an
// unattended run: the process logs the fault, removes its temporary files and
// ends by itself with a failure code. Meanwhile the other thread starts no
// child process (it stops where it would start one), and a fault inside the
// handler or its report ends the process at once, unreported.

namespace nv {

class TemporaryFiles;

// The exit code of a process ended by a fault: that of the launcher's own failures.
constexpr int faultExitCode = -1;

// Sets the error mode so that the system shows no fault or critical-error
// box, and installs the process's last-chance fault filter. Call once, first.
void installFaultHandler();

// The temporary files that a fault's report removes: those of the process's
// run, which must live until the process ends. None until it is called.
void removeOnFault(TemporaryFiles& files);

// Logs "The launcher stopped on a fault: its worker thread ended before the
// run did.", removes the temporary files and ends the process with
// faultExitCode: for the thread that finds the worker ended without
// finishing its job (a fault whose thread had no stack left for the filter).
[[noreturn]] void endAfterWorkerFault();

// Keeps stack in reserve on the calling thread for the filter to run on
// after a stack overflow. Call first on each thread.
void guardThreadStack();

}  // namespace nv
