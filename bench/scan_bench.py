#!/usr/bin/env python3
"""Benchmark: the launcher's disk scan (SEARCH_ALL) of a drive holding 200,000
files in 20,000 directories, against a bare walk of the same drive, in the
same run under Wine.

- scan: the launcher (the bare stub) run with an input file whose action is
  SEARCH_ALL and whose one JVM file's JVM_EXE (bin\\nomatch.exe) matches
  nothing, so it walks every directory, compares every file name and verifies
  nothing; it prints 0;
- bare walk: TreeWalk (tests/fixtures/bench/TreeWalk.cpp), FindFirstFile and
  FindNextFile in a plain recursion over the same drive, counting.

The drive is a directory of the benchmark's own prefix (build/win64/bench),
made the only fixed drive D: of a drive table of its own (C: is typed a CD
drive, so the scan leaves it out; z: is gone). The tree: 20 directories at the
top, each holding 999 more, and 10 empty files in every one of them. It is
made once; the runs alternate and the figures are medians of whole runs. Each
side's start-up (Wine's and the program's) is measured on a drive that holds
only the launcher and its input files, and taken off in the second ratio.

Peak memory is VmHWM of the Wine process running the program (sampled every
10 ms, see benchlib.py), for the scan of the big and of the nearly empty drive
side by side: equal figures mean a scan's memory does not grow with the drive.

    python3 bench/scan_bench.py [BUILD_DIR] [--repeat 5]
"""

import argparse
import os
import shutil

from benchlib import HERE, median, spread, start_session, timed_run

TOP, SUB, FILES = 20, 999, 10

INPUT = (b"ACTION: SEARCH_ALL\nLOGFILE: run.log\nVERIFY_CLASSPATH: verify.jar\nVERIFY_CLASS_NAME: Verify\n"
         b"JVM: scan.tag\n")
JVM_FILE = (b"DESC: Nothing\nJVM_EXE: bin\\nomatch.exe\nJVM_PROPERTIES:\njava.vendor=Debian\n/:\n"
            b"PATH_HINT: \\nowhere\nSEARCH_ALL: 1\n")


def make_tree(root):
    """TOP * (1 + SUB) directories below root, FILES empty files in each; returns
    the number of directories."""
    directories = []
    for top in range(TOP):
        directories.append(os.path.join(root, "d%02d" % top))
        directories += [os.path.join(root, "d%02d" % top, "s%03d" % sub) for sub in range(SUB)]
    for directory in directories:
        os.makedirs(directory)
        for n in range(FILES):
            os.close(os.open(os.path.join(directory, "file%d.dat" % n), os.O_CREAT | os.O_WRONLY, 0o644))
    return len(directories)


def make_drive(session, directory):
    """The launcher and its input files at the drive's root; returns the launcher's path."""
    os.makedirs(directory, exist_ok=True)
    launcher = os.path.join(directory, "setup.exe")
    shutil.copyfile(session.launcher, launcher)
    for name, data in (("in.tag", INPUT), ("scan.tag", JVM_FILE)):
        with open(os.path.join(directory, name), "wb") as f:
            f.write(data)
    return launcher


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("build", nargs="?", default=os.path.join(HERE, "..", "build", "win64"))
    parser.add_argument("--repeat", type=int, default=5)
    options = parser.parse_args()
    session = start_session(options.build)
    walker = session.fixture("TreeWalk")
    base = session.scratch("scan-bench")
    drives = {"big": os.path.join(base, "big"), "small": os.path.join(base, "small")}
    launchers = {kind: make_drive(session, path) for kind, path in drives.items()}
    directories = make_tree(os.path.join(drives["big"], "tree"))
    files = directories * FILES

    def scan(kind):
        log = os.path.join(drives[kind], "run.log")
        if os.path.exists(log):
            os.remove(log)
        run = timed_run(session, launchers[kind], ["-nv:silent", "-nv:in", "in.tag"], cwd=drives[kind])
        with open(log, "rb") as f:
            scanned = b"Beginning exhaustive search" in f.read()
        if run.exit_code != 0 or run.stdout.strip() != b"0" or not scanned:
            raise SystemExit("the %s scan failed (exit %d): %r" % (kind, run.exit_code, run.stdout[:200]))
        return run

    def walk(kind):
        run = timed_run(session, walker, ["D:\\"])
        counts = dict(item.split(b"=") for item in run.stdout.split())
        expected = directories + 1 if kind == "big" else 0  # the tree and the directories in it
        if run.exit_code != 0 or int(counts[b"directories"]) != expected:
            raise SystemExit("the bare walk of the %s drive failed (exit %d): %r" % (kind, run.exit_code, run.stdout))
        return run

    times = {name: [] for name in ("scan big", "walk big", "scan small", "walk small")}
    peaks = {name: [] for name in times}
    try:
        for kind in ("big", "small"):
            session.set_drives({"d": drives[kind]}, {"c": "cdrom", "d": "hd"})
            scan(kind), walk(kind)  # one unmeasured round: Wine's first starts are slow
            for repeat in range(options.repeat):
                for side in (("scan", "walk") if repeat % 2 == 0 else ("walk", "scan")):
                    run = scan(kind) if side == "scan" else walk(kind)
                    times[side + " " + kind].append(run.seconds)
                    peaks[side + " " + kind].append(run.peak_kib)
    finally:
        session.reset_drives()

    net_scan = median(times["scan big"]) - median(times["scan small"])
    net_walk = max(median(times["walk big"]) - median(times["walk small"]), 1e-6)
    print("drive: %d files in %d directories, %d repeats (medians; min-max in brackets)"
          % (files, directories, options.repeat))
    for name, values in times.items():
        print("  %-12s %.3f s  [%s]  peak %.1f MiB" % (name + ":", median(values), spread(values),
                                                      median(peaks[name]) / 1024.0))
    print("time ratio, scan / bare walk: %.2f whole runs, %.2f with start-up taken off (%.3f s against %.3f s)"
          % (median(times["scan big"]) / median(times["walk big"]), net_scan / net_walk, net_scan, net_walk))
    print("launcher peak memory (VmHWM): nearly empty drive %.1f MiB, %d-directory drive %.1f MiB"
          % (median(peaks["scan small"]) / 1024.0, directories, median(peaks["scan big"]) / 1024.0))
    shutil.rmtree(base, ignore_errors=True)


if __name__ == "__main__":
    main()
