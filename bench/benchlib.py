"""What the benchmarks share: the Wine session, a timed run of a Windows
program with its peak memory, and medians.

Every figure is a ratio against a baseline of our own (a small Windows program
in tests/fixtures/bench/) measured in the same run, under the same Wine
session, with the runs of both sides interleaved so that a busy moment of the
machine falls on both.
"""

import os
import statistics
import subprocess
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
REPO_ROOT = os.path.dirname(HERE)
sys.path.insert(0, os.path.join(REPO_ROOT, "tests", "e2e"))

import harness  # noqa: E402


def start_session(build_dir):
    """The Wine session of a benchmark: its own work directory (build/.../bench), so
    that it never shares a prefix with a test run."""
    build_dir = os.path.abspath(build_dir)
    harness.configure(build_dir=build_dir, work_dir=os.path.join(build_dir, "bench"))
    return harness.session()


def _vm_hwm_kib(pid):
    try:
        with open("/proc/%d/status" % pid) as f:
            for line in f:
                if line.startswith("VmHWM:"):
                    return int(line.split()[1])
    except OSError:
        pass
    return 0


def _program_process(windows_path):
    """The Linux process that runs the Windows program at windows_path, or None: the
    one whose first argument is the path. That may be the `wine` process itself
    (Wine 8 here loads the program into it and then rewrites its arguments) or,
    where `wine PATH` goes through start.exe, a process of its own."""
    wanted = windows_path.lower().encode()
    for entry in os.listdir("/proc"):
        if not entry.isdigit():
            continue
        try:
            with open("/proc/%s/cmdline" % entry, "rb") as f:
                first = f.read().split(b"\0")[0]
        except OSError:
            continue
        if first.lower() == wanted:
            return int(entry)
    return None


class Run:
    """One finished run: seconds of wall time, exit code, standard output, the
    peak resident memory (VmHWM, KiB) of the Wine process that ran the program,
    and the processor seconds (user and system) of that process and of what it
    waited for. On a busy machine the processor time moves far less than the
    wall time: it leaves out the waits for a core that other work holds."""

    def __init__(self, seconds, exit_code, stdout, peak_kib, cpu_seconds=0.0):
        self.seconds = seconds
        self.exit_code = exit_code
        self.stdout = stdout
        self.peak_kib = peak_kib
        self.cpu_seconds = cpu_seconds


def timed_run(session, program, args=(), cwd=None, limit=600):
    """Runs a Windows program (Linux path) under Wine with closed input and returns
    a Run. While it runs, the VmHWM of its process is read every 10 ms; the last
    value read is the peak (a high-water mark only grows)."""
    path = session.windows_path(program)
    argv = ["wine", path] + [str(a) for a in args]
    stdout_path = os.path.join(session.work_dir, "bench-stdout")
    with open(stdout_path, "wb") as out:
        began = time.monotonic()
        process = subprocess.Popen(argv, stdin=subprocess.DEVNULL, stdout=out, stderr=subprocess.DEVNULL,
                                   env=session.environment(), cwd=cwd or session.drive_c)
        peak, target = 0, None
        while True:
            # wait4 reaps the process with its resource use, where poll() would drop it.
            pid, status, rusage = os.wait4(process.pid, os.WNOHANG)
            if pid:
                process.returncode = os.waitstatus_to_exitcode(status)
                usage = rusage
                break
            if target is None:
                target = _program_process(path)
            if target is not None:
                peak = max(peak, _vm_hwm_kib(target))
            if time.monotonic() - began > limit:
                process.kill()
                raise SystemExit("%s did not end within %d s" % (" ".join(argv[1:]), limit))
            time.sleep(0.01)
        seconds = time.monotonic() - began
    with open(stdout_path, "rb") as f:
        stdout = f.read()
    return Run(seconds, process.returncode, stdout, peak, usage.ru_utime + usage.ru_stime)


def median(values):
    return statistics.median(values)


def spread(values):
    """min-max of a list of seconds, for the report."""
    return "%.3f-%.3f" % (min(values), max(values))


def ratio_spread(values):
    """min-max of the per-repeat ratios, for the report."""
    return "%.2f-%.2f" % (min(values), max(values))
