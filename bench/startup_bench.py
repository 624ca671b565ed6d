#!/usr/bin/env python3
"""Benchmark: the launcher's start-up, from starting a launcher file to the
first output of the Java program it launches, against starting that program
directly, in the same run under Wine.

- launcher: the stub packed by nvpack with an instruction program
  (INITIALIZE_UI, then LAUNCH of a JVM file beside it, 0 seconds), a launch
  script like the one the launcher carries (the Java executable, CP with one
  element of its own, SYSTEMPROP, IF_EXISTS, a program argument) and a class
  path archive (type 3) of 5 MiB of random bytes, which CP extracts into a
  temporary directory of its own on every run; mode byte 2, not silent, so the
  progress window shows and hides as in a real run;
- direct: the same Java executable started by `wine` with the arguments the
  launcher gave it (read from its record; the archive is a copy outside the
  launcher's temporary directory, which is gone after its run), in the same
  working directory and with the same JAVA_HOME;
- windowed, for comparison: ShowBox (tests/fixtures/msgbox), a windowed
  program of ours, to the first line it writes (flushed, into a file): what
  Wine's start-up of any windowed program costs, against the launcher's first
  step below; the stand-in is a console program, which Wine starts faster.

The Java executable is the stand-in of the end-to-end tests
(tests/fixtures/java/StandInJava.cpp): its first output is the record of its
command line and arguments (NV_STANDIN_RECORD names the file), written and
closed before its first line to standard output. Its standard output cannot
serve here: the launcher captures it into a pipe and logs it only once the
child has ended. So "first output" is the moment the record file is no longer
empty, seen by a poll every 0.5 ms; both sides are timed alike. The whole
run (until the Wine process that was started ends) is shown too: the
launcher's includes its fixed pauses after the child (up to 100 ms of its
output poll and 500 ms after the child's end) and the clean-up.

An idle windowed program of ours (ShowBox -hang) runs throughout, so that
Wine's desktop process stays up between runs as the desktop does on Windows;
without it, a launcher started more than about a second after the last
windowed program also waits for Wine to start its desktop again.

The ratio is launcher / direct for the first output. Attribution runs of
their own (so that the logs and the finer watch stay out of the ratio) take
turns with the timed ones: each repeat runs the launcher, the direct start,
the windowed program and an attribution run, in an order that rotates, after
one unmeasured round of each; the figures are medians. In an attribution run the same launcher
runs with its run log (-nv:log) and debug log (DBGWIN32KVB) on, and the poll
notes when each of these first becomes visible on disk:
  started   the debug log's "Launcher Started" (the launcher's code begins)
  index     the run log's first entry (written once the index is read)
  tempdir   a new LRE... directory in %TEMP% (CP begins the extraction)
  extracted the archive in it at its full size
  command   the run log's "Executing launch script command" (just before
            CreateProcess)
  output    the record (the child's first output)
and, after it, where the rest of the whole run goes:
  collected the run log's "Output from the launch script execution" (the
            runner has returned: the child's end, the output poll's 100 ms
            pauses and the 500 ms pause after the child)
  cleanup   the debug log's "Deleting dir" (the clean-up begins)
  ended     the launcher's Wine process has ended
The steps are the medians of the differences between marks.

    python3 bench/startup_bench.py [BUILD_DIR] [--repeat 15]
"""

import argparse
import glob
import os
import shutil
import subprocess
import time

from benchlib import HERE, median, spread, start_session
from launcherfiles import pack  # noqa: E402  (tests/e2e, on the path through benchlib)

ARCHIVE_BYTES = 5 * 1024 * 1024
POLL = 0.0005
LIMIT = 120

LAUNCH_SCRIPT = (b'DESC: Startup Bench\nDISPLAY_CONSOLE: 0\nAUTO_SET_WORKING_DIR: 1\n'
                 b'COMMAND: """@JVM_HOME@\\@JVM_EXE@"" %CP%(""""""setup.jar"""""") '
                 b'%SYSTEMPROP%(""temp.dir"", """"""%TEMP_DIR%()"""""") '
                 b'%SYSTEMPROP%(""nv.launcher.file"", """"""%LAUNCHER_FILE%()"""""") '
                 b'%IF_EXISTS%(""MAX_JAVA_HEAP"", ""@MAX_JAVA_HEAP@60m"") bench.Main run"\n')

STEPS = [("started", "Wine start-up of the launcher"),
         ("index", "window, worker thread, options, reading the index"),
         ("tempdir", "tag files, instructions, window shown and hidden, command up to CP"),
         ("extracted", "extraction of the 5 MiB archive"),
         ("command", "rest of the command, log entry"),
         ("output", "process start: CreateProcess to the child's first output"),
         ("collected", "the child's end, the output poll and the pause after the child"),
         ("cleanup", "logging the output, the end of the instruction program"),
         ("ended", "the clean-up, closing the windows, the end of the process")]


def nonempty(path):
    try:
        return os.path.getsize(path) > 0
    except OSError:
        return False


def remove(path):
    if os.path.exists(path):
        os.remove(path)


class Timing:
    """One run: seconds from the start to each mark, and to the end of the Wine process."""

    def __init__(self, marks, whole, exit_code):
        self.marks = marks
        self.whole = whole
        self.exit_code = exit_code


def timed_start(session, program, args, cwd, env, watches, stdout=None):
    """Runs a Windows program under Wine with closed input and its standard
    output sent to the file stdout (or nowhere); watches is a list of (name,
    test): each mark is the first time, in seconds from the start, that test()
    was true (tests are tried in order, every POLL seconds, each until it
    holds)."""
    argv = ["wine", session.windows_path(program)] + [str(a) for a in args]
    pending = list(watches)
    marks = {}
    with open(stdout or os.devnull, "wb") as out:
        began = time.monotonic()
        process = subprocess.Popen(argv, stdin=subprocess.DEVNULL, stdout=out, stderr=subprocess.DEVNULL,
                                   env=session.environment(env), cwd=cwd)
    while True:
        ended = process.poll() is not None
        while pending and pending[0][1]():
            marks[pending.pop(0)[0]] = time.monotonic() - began
        if ended:
            break
        if time.monotonic() - began > LIMIT:
            process.kill()
            raise SystemExit("%s did not end within %d s" % (" ".join(argv[1:]), LIMIT))
        time.sleep(POLL)
    return Timing(marks, time.monotonic() - began, process.returncode)


def contains(path, text):
    try:
        with open(path, "rb") as f:
            return text in f.read()
    except OSError:
        return False


def record_args(path):
    with open(path, "rb") as f:
        lines = f.read().decode("utf-8").splitlines()
    return [line.split("=", 1)[1] for line in lines if line.startswith("arg")]


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("build", nargs="?", default=os.path.join(HERE, "..", "build", "win64"))
    parser.add_argument("--repeat", type=int, default=15)
    options = parser.parse_args()
    session = start_session(options.build)
    base = session.scratch("startup-bench")
    # Wine's desktop process (explorer.exe /desktop) ends about a second after
    # the last windowed program and starts again with the next one, which
    # costs the launcher a few hundred milliseconds that it never pays on
    # Windows, where the desktop is always there. An idle windowed program of
    # ours holds it for the whole run.
    keeper = subprocess.Popen(["wine", session.windows_path(session.fixture("ShowBox")), "-hang"],
                              stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                              env=session.environment(), cwd=base)
    try:
        measure(session, base, options.repeat)
    finally:
        keeper.kill()
        keeper.wait()
    shutil.rmtree(base, ignore_errors=True)


def measure(session, base, repeat_count):

    home = os.path.join(base, "jdk")
    os.makedirs(os.path.join(home, "bin"))
    java = os.path.join(home, "bin", "java.exe")
    shutil.copyfile(session.fixture("StandInJava"), java)
    home_win = session.windows_path(home) + "\\"
    app = os.path.join(base, "app")
    os.makedirs(app)
    jvm = os.path.join(app, "jvm.tag")
    with open(jvm, "wb") as f:
        f.write(b"DESC: stand-in\nJVM_HOME: " + home_win.encode() + b"\nJVM_EXE: bin\\java.exe\n"
                b'CLASSPATH: "-cp "\nCLASSPATH_SEPARATOR: ;\nSYSTEM: -D\nSYSTEM_SEPARATOR: =\n'
                b"MAX_JAVA_HEAP: -Xmx\n")
    program = b'INSTRUCTIONS:\nINITIALIZE_UI\nLAUNCH "' + session.windows_path(jvm).encode() + b'" 0\n/:\n'
    archive = os.urandom(ARCHIVE_BYTES)
    launcher = pack(session, app, [(0, 1, "instructions.tag", program), (2, 2, "launchscript.tag", LAUNCH_SCRIPT),
                                   (3, 3, "app.jar", archive)], mode=2)
    # The direct side's copy of the archive, where the launcher's extraction would be.
    direct_archive_dir = os.path.join(base, "archive")
    os.makedirs(direct_archive_dir)
    with open(os.path.join(direct_archive_dir, "app.jar"), "wb") as f:
        f.write(archive)

    record = os.path.join(base, "record.txt")
    run_log = os.path.join(base, "run.log")
    debug_log = os.path.join(base, "debug.log")
    environment = {"NV_STANDIN_RECORD": session.windows_path(record)}
    first_output = [("output", lambda: nonempty(record))]

    def check_launcher(timing):
        if timing.exit_code != 0 or "output" not in timing.marks:
            raise SystemExit("the launcher run failed (exit %d, marks %r)" % (timing.exit_code, timing.marks))

    def start_launcher():
        remove(record)
        timing = timed_start(session, launcher, [], app, environment, first_output)
        check_launcher(timing)
        return timing

    # The unmeasured round also gives the arguments the launcher passes.
    start_launcher()
    launched_args = record_args(record)
    temp_win = session.windows_path(session.temp_dir)
    direct_args = []
    for arg in launched_args:
        parts = arg.split(";")
        direct_args.append(";".join(session.windows_path(os.path.join(direct_archive_dir, "app.jar"))
                                    if part.startswith(temp_win + "\\LRE") else part for part in parts))
    if direct_args == launched_args:
        raise SystemExit("the launched command holds no extracted archive: %r" % launched_args)
    direct_env = dict(environment, JAVA_HOME=home_win)

    def start_direct():
        remove(record)
        timing = timed_start(session, java, direct_args, app, direct_env, first_output)
        if timing.exit_code != 0 or "output" not in timing.marks or record_args(record) != direct_args:
            raise SystemExit("the direct run failed (exit %d, marks %r)" % (timing.exit_code, timing.marks))
        return timing

    # The attribution runs: the same launcher with both logs on and the finer watch.
    found = {}

    def new_temp_dir():
        fresh = [p for p in glob.glob(os.path.join(session.temp_dir, "LRE*"))
                 if p not in found["before"] and os.path.isdir(p)]
        if fresh:
            found["dir"] = fresh[0]
        return bool(fresh)

    def archive_complete():
        try:
            return os.path.getsize(os.path.join(found["dir"], "app.jar")) == ARCHIVE_BYTES
        except OSError:
            return False

    watches = [("started", lambda: nonempty(debug_log)), ("index", lambda: nonempty(run_log)),
               ("tempdir", new_temp_dir), ("extracted", archive_complete),
               ("command", lambda: contains(run_log, b"Executing launch script command")),
               ("output", lambda: nonempty(record)),
               ("collected", lambda: contains(run_log, b"Output from the launch script execution")),
               ("cleanup", lambda: contains(debug_log, b"Deleting dir"))]
    logged_env = dict(environment, DBGWIN32KVB=session.windows_path(debug_log))

    def start_attributed():
        for path in (record, run_log, debug_log):
            remove(path)
        found.clear()
        found["before"] = set(glob.glob(os.path.join(session.temp_dir, "LRE*")))
        timing = timed_start(session, launcher, ["-nv:log", session.windows_path(run_log)], app, logged_env,
                             watches)
        check_launcher(timing)
        if len(timing.marks) != len(watches):
            raise SystemExit("an attribution run missed a mark: %r" % timing.marks)
        timing.marks["ended"] = timing.whole
        return timing

    # A windowed program of ours to its first line: what Wine's start-up of
    # any windowed program costs, for the launcher's first step.
    shown = os.path.join(base, "windowed.txt")

    def start_windowed():
        remove(shown)
        timing = timed_start(session, session.fixture("ShowBox"), ["-print", "started"], app, environment,
                             [("output", lambda: nonempty(shown))], stdout=shown)
        if timing.exit_code != 0 or "output" not in timing.marks:
            raise SystemExit("the windowed program failed (exit %d)" % timing.exit_code)
        return timing

    start_direct()
    start_windowed()
    start_attributed()
    starts = {"launcher": start_launcher, "direct": start_direct, "windowed": start_windowed,
              "attributed": start_attributed}
    order = list(starts)
    runs = {side: [] for side in order}
    for repeat in range(repeat_count):
        for side in order[repeat % len(order):] + order[:repeat % len(order)]:
            runs[side].append(starts[side]())
    attributed = runs["attributed"]

    launcher_first = median([t.marks["output"] for t in runs["launcher"]])
    direct_first = median([t.marks["output"] for t in runs["direct"]])
    print("%d repeats, medians (min-max in brackets); 5 MiB class path archive" % repeat_count)
    for side in ("launcher", "direct", "windowed"):
        firsts = [t.marks["output"] for t in runs[side]]
        wholes = [t.whole for t in runs[side]]
        print("  %-9s first output %.3f s [%s]   whole run %.3f s [%s]"
              % (side + ":", median(firsts), spread(firsts), median(wholes), spread(wholes)))
    print("time ratio, launcher / direct: %.2f to the first output (%.3f s more), %.2f whole runs"
          % (launcher_first / direct_first, launcher_first - direct_first,
             median([t.whole for t in runs["launcher"]]) / median([t.whole for t in runs["direct"]])))
    print("launcher steps (attribution runs, logs on; medians of each step):")
    previous = None
    total = 0.0
    for name, what in STEPS:
        steps = [(t.marks[name] - (t.marks[previous] if previous else 0.0)) * 1000 for t in attributed]
        total += median(steps)
        print("  %-10s %6.1f ms [%.1f-%.1f]  %s" % (name, median(steps), min(steps), max(steps), what))
        if name == "output":
            print("  (sum to the first output %.1f ms; first output in these runs %.1f ms)"
                  % (total, median([t.marks["output"] for t in attributed]) * 1000))
        previous = name
    print("  (sum of all steps %.1f ms; whole run in these runs %.1f ms)"
          % (total, median([t.whole for t in attributed]) * 1000))


if __name__ == "__main__":
    main()
