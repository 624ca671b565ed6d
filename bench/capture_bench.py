#!/usr/bin/env python3
"""Benchmark: a child writing 100 MB to standard output and standard error (50 MB
on each, interleaved in blocks of 100 lines), captured by the launcher's process runner, against the same child with
both streams redirected to files, in the same run under Wine.

- captured: CaptureRun (tests/fixtures/bench/CaptureRun.cpp) calls nv::runProcess
  with capture on, the way the launcher runs a Java program, and reports what it
  collected;
- redirected: RedirectedRun (tests/fixtures/bench/RedirectedRun.cpp) starts the
  same command line with CreateProcess, its standard output and error being two
  file handles, and waits for it (no cmd in between).

The child is ChildProcess (tests/fixtures/child/) `out N err N`. Both sides are
timed whole (start-up included, which is the same child and about the same
Wine start on both sides); the runs alternate and the figures are medians.

    python3 bench/capture_bench.py [BUILD_DIR] [--mb 100] [--repeat 3]
"""

import argparse
import os

from benchlib import HERE, median, spread, start_session, timed_run

LINE = 12  # "out 0000001\n": the child writes whole lines


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("build", nargs="?", default=os.path.join(HERE, "..", "build", "win64"))
    parser.add_argument("--mb", type=int, default=100, help="megabytes (10^6) on both streams together")
    parser.add_argument("--repeat", type=int, default=3)
    options = parser.parse_args()
    session = start_session(options.build)
    base = session.scratch("capture-bench")
    size = options.mb * 1000 * 1000 // 2
    expected = -(-size // LINE) * LINE
    child = '"%s" out %d err %d' % (session.windows_path(session.fixture("ChildProcess")), size, size)
    output, error = os.path.join(base, "out.txt"), os.path.join(base, "err.txt")

    def captured():
        run = timed_run(session, session.fixture("CaptureRun"), [child])
        wanted = ("output %d\r\nerror %d\r\nexit 0\r\n" % (expected, expected)).encode()
        if run.exit_code != 0 or run.stdout != wanted:
            raise SystemExit("the captured run failed (exit %d): %r" % (run.exit_code, run.stdout[:200]))
        return run

    def redirected():
        run = timed_run(session, session.fixture("RedirectedRun"),
                        [session.windows_path(output), session.windows_path(error), child])
        if run.exit_code != 0 or os.path.getsize(output) != expected or os.path.getsize(error) != expected:
            raise SystemExit("the redirected run failed (exit %d)" % run.exit_code)
        os.remove(output)
        os.remove(error)
        return run

    times = {"captured": [], "redirected": []}
    captured(), redirected()  # one unmeasured round: Wine's first starts are slow
    for repeat in range(options.repeat):
        for side in (("captured", "redirected") if repeat % 2 == 0 else ("redirected", "captured")):
            run = captured() if side == "captured" else redirected()
            times[side].append(run.seconds)

    print("child: %d MB, half on standard output and half on standard error, %d repeats (medians; min-max in brackets)"
          % (options.mb, options.repeat))
    for side, values in times.items():
        print("  %-11s %.3f s  [%s]" % (side + ":", median(values), spread(values)))
    print("time ratio, captured / redirected to files: %.2f (1.00: as fast as writing to files)"
          % (median(times["captured"]) / median(times["redirected"])))


if __name__ == "__main__":
    main()
