#!/usr/bin/env python3
"""Benchmark: the launcher's clean-up of a temporary tree of 10,000 files in
1,000 directories, against a bare recursive delete of the same tree, in the
same run under Wine.

- clean-up: CleanupProbe (tests/fixtures/cleanup/) `LOG dir PATH`, the clean-up
  list as it runs at the end of a launcher run (walk, read-only attributes
  cleared, links left unfollowed, retries, run log);
- bare delete: TreeDelete (tests/fixtures/bench/TreeDelete.cpp), FindFirstFile,
  DeleteFile and RemoveDirectory in a plain recursion.

The tree: 10 directories under the root, each holding 99 more (1,000 in all),
and 10 files of 100 bytes in every one of them. It is made afresh before each
run; the runs alternate and the figures are medians of whole runs.

    python3 bench/cleanup_bench.py [BUILD_DIR] [--repeat 5]
"""

import argparse
import os

from benchlib import HERE, median, spread, start_session, timed_run


def make_tree(root):
    """10,000 files in 1,000 directories below root (root itself not counted)."""
    payload = b"t" * 100
    directories = []
    for top in range(10):
        directories.append(os.path.join(root, "d%02d" % top))
        directories += [os.path.join(root, "d%02d" % top, "s%02d" % sub) for sub in range(99)]
    for directory in directories:
        os.makedirs(directory)
        for n in range(10):
            with open(os.path.join(directory, "file%d.tmp" % n), "wb") as f:
                f.write(payload)
    return len(directories)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("build", nargs="?", default=os.path.join(HERE, "..", "build", "win64"))
    parser.add_argument("--repeat", type=int, default=5)
    options = parser.parse_args()
    session = start_session(options.build)
    base = session.scratch("cleanup-bench")
    root = os.path.join(base, "tree")

    def cleanup():
        make_tree(root)
        log = os.path.join(base, "run.log")
        run = timed_run(session, session.fixture("CleanupProbe"), [session.windows_path(log), "dir",
                                                                   session.windows_path(root)])
        if run.exit_code != 0 or run.stdout or os.path.exists(root):
            raise SystemExit("the clean-up left the tree (exit %d): %r" % (run.exit_code, run.stdout[:200]))
        return run

    def bare():
        make_tree(root)
        run = timed_run(session, session.fixture("TreeDelete"), [session.windows_path(root)])
        if run.exit_code != 0 or os.path.exists(root):
            raise SystemExit("the bare delete left the tree (exit %d)" % run.exit_code)
        return run

    times = {"clean-up": [], "bare delete": []}
    cleanup(), bare()  # one unmeasured round: Wine's first starts are slow
    for repeat in range(options.repeat):
        for side in (("clean-up", "bare delete") if repeat % 2 == 0 else ("bare delete", "clean-up")):
            times[side].append((cleanup() if side == "clean-up" else bare()).seconds)

    print("tree: 10,000 files in 1,000 directories, %d repeats (medians; min-max in brackets)" % options.repeat)
    for side, values in times.items():
        print("  %-12s %.3f s  [%s]" % (side + ":", median(values), spread(values)))
    print("time ratio, clean-up / bare delete: %.2f (1.00: as fast as the bare delete)"
          % (median(times["clean-up"]) / median(times["bare delete"])))


if __name__ == "__main__":
    main()
