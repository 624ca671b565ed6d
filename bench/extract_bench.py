#!/usr/bin/env python3
"""Benchmark: the launcher's -nv:extract of a 200 MB embedded file under Wine,
against FileCopy (tests/fixtures/bench/FileCopy.cpp: ReadFile/WriteFile in a
loop with a 1 MiB buffer) copying the same bytes, in the same run.

Each side's start-up is taken off with 1-byte runs of the same program (a
launcher file whose only entry is 1 byte; a copy of a 1-byte file; three of
them for each large run), so the ratio compares the moving of the bytes:

    ratio = (copy 200 MB - copy 1 byte) / (extract 200 MB - extract 1 byte)

1.0 means the extraction moves bytes as fast as the plain copy. The CRC-32
check is measured the same way: the 200 MB launcher file as nvpack writes it
(checked) against the same file without its checksums (launcherfiles.
without_checksums, as nvpack wrote it before them), which the launcher
extracts unchecked:

    check ratio = (unchecked 200 MB - 1 byte) / (checked 200 MB - 1 byte)

1.0 means the check costs nothing. The runs of all sides are interleaved in
every repeat, after one unmeasured round; the figures are medians over the
repeats. With the page cache holding the data, a
200 MB copy takes about as long as Wine's start-up varies, so the ratio of the
fastest runs is shown too, and --mb 400 or more repeats give steadier figures.
Peak memory is VmHWM of the Wine process running the launcher, for the 1-byte
and the 200 MB entry side by side: equal figures mean memory flat in the size.
Every extracted file is compared with its source.

    python3 bench/extract_bench.py [BUILD_DIR] [--mb 200] [--repeat 11]
"""

import argparse
import filecmp
import os
import shutil

from benchlib import HERE, median, ratio_spread, spread, start_session, timed_run
from launcherfiles import pack, without_checksums  # noqa: E402  (tests/e2e, on the path through benchlib)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("build", nargs="?", default=os.path.join(HERE, "..", "build", "win64"))
    parser.add_argument("--mb", type=int, default=200)
    parser.add_argument("--repeat", type=int, default=11)
    options = parser.parse_args()
    session = start_session(options.build)
    copier = session.fixture("FileCopy")
    base = session.scratch("extract-bench")
    size = options.mb * 1000 * 1000
    block = os.urandom(1 << 20)
    data = block * (size // len(block)) + os.urandom(size % len(block))
    os.makedirs(os.path.join(base, "big"))
    os.makedirs(os.path.join(base, "small"))
    launchers = {
        "big": pack(session, os.path.join(base, "big"), [(6, 1, "payload.bin", data)], name="big.exe"),
        "small": pack(session, os.path.join(base, "small"), [(6, 1, "payload.bin", b"x")], name="small.exe"),
    }
    del data
    launchers["unchecked"] = without_checksums(launchers["big"], os.path.join(base, "big", "unchecked.exe"))
    sources = {kind: os.path.join(base, kind, "sources", "0.bin") for kind in ("big", "small")}
    sources["unchecked"] = sources["big"]

    def extract(kind):
        out = os.path.join(base, "out-" + kind)
        shutil.rmtree(out, ignore_errors=True)
        os.makedirs(out)
        run = timed_run(session, launchers[kind], ["-nv:silent", "-nv:extract"], cwd=out)
        extracted = os.path.join(out, "payload.bin")
        if run.exit_code != 0 or not filecmp.cmp(extracted, sources[kind], shallow=False):
            raise SystemExit("the %s extraction failed or differs from its source (exit %d)" % (kind, run.exit_code))
        # Gone at once, so that its pages are never written back while the next run is timed.
        shutil.rmtree(out)
        return run

    def copy(kind):
        target = os.path.join(base, "copy-" + kind + ".bin")
        if os.path.exists(target):
            os.remove(target)
        run = timed_run(session, copier, [session.windows_path(sources[kind]), session.windows_path(target)])
        if run.exit_code != 0 or not filecmp.cmp(target, sources[kind], shallow=False):
            raise SystemExit("the %s copy failed or differs from its source (exit %d)" % (kind, run.exit_code))
        os.remove(target)
        return run

    times = {name: [] for name in ("copy small", "copy big", "extract small", "extract big", "extract unchecked")}
    cpu = {name: [] for name in times}
    peaks = {"small": [], "big": []}
    ratios = []
    check_ratios = []
    cpu_ratios = []
    cpu_check_ratios = []
    # One unmeasured round first: Wine's first start in a fresh prefix is slow.
    for kind in ("small", "big"):
        copy(kind)
        extract(kind)
    extract("unchecked")
    # The unchecked side's start-up is that of the same launcher's 1-byte runs.
    rounds = {"copy": ("small", "big", "small", "small"), "extract": ("small", "big", "small", "small"),
              "unchecked": ("unchecked",)}
    sides = list(rounds)
    for repeat in range(options.repeat):
        # Rotate which side goes first, so that none always meets a warm or a cold cache.
        order = sides[repeat % len(sides):] + sides[:repeat % len(sides)]
        this = {}
        this_cpu = {}
        for side in order:
            # Start-up under Wine varies by tens of milliseconds from run to run, as much
            # as the copying itself takes: it gets three runs for every large one.
            for kind in rounds[side]:
                run = copy(kind) if side == "copy" else extract(kind)
                name = "extract unchecked" if kind == "unchecked" else side + " " + kind
                this.setdefault(name, []).append(run.seconds)
                times[name].append(run.seconds)
                this_cpu.setdefault(name, []).append(run.cpu_seconds)
                cpu[name].append(run.cpu_seconds)
                if side == "extract":
                    peaks[kind].append(run.peak_kib)
        start_up = median(this["extract small"])
        ratios.append((this["copy big"][0] - median(this["copy small"]))
                      / max(this["extract big"][0] - start_up, 1e-6))
        check_ratios.append((this["extract unchecked"][0] - start_up) / max(this["extract big"][0] - start_up, 1e-6))
        cpu_start_up = median(this_cpu["extract small"])
        cpu_ratios.append((this_cpu["copy big"][0] - median(this_cpu["copy small"]))
                          / max(this_cpu["extract big"][0] - cpu_start_up, 1e-6))
        cpu_check_ratios.append((this_cpu["extract unchecked"][0] - cpu_start_up)
                                / max(this_cpu["extract big"][0] - cpu_start_up, 1e-6))

    net_copy = median(times["copy big"]) - median(times["copy small"])
    net_extract = max(median(times["extract big"]) - median(times["extract small"]), 1e-6)
    print("size: %d MB, %d repeats (medians; min-max in brackets)" % (options.mb, options.repeat))
    for name, values in times.items():
        print("  %-14s %.3f s  [%s]" % (name + ":", median(values), spread(values)))
    print("plain copy, start-up taken off: %.3f s (%.0f MB/s)" % (net_copy, options.mb / max(net_copy, 1e-6)))
    print("extraction, start-up taken off: %.3f s (%.0f MB/s)" % (net_extract, options.mb / net_extract))
    print("throughput ratio, extraction / plain copy: %.2f (per repeat: %s; median %.2f [%s])"
          % (net_copy / net_extract, ", ".join("%.2f" % r for r in ratios), median(ratios), ratio_spread(ratios)))
    fastest = (min(times["copy big"]) - min(times["copy small"])) / max(
        min(times["extract big"]) - min(times["extract small"]), 1e-6)
    print("throughput ratio of the fastest runs: %.2f" % fastest)
    net_unchecked = median(times["extract unchecked"]) - median(times["extract small"])
    print("unchecked extraction (no checksums), start-up taken off: %.3f s (%.0f MB/s)"
          % (net_unchecked, options.mb / max(net_unchecked, 1e-6)))
    print("check ratio, checked / unchecked extraction speed: %.2f (per repeat: %s; median %.2f [%s])"
          % (net_unchecked / net_extract, ", ".join("%.2f" % r for r in check_ratios), median(check_ratios),
             ratio_spread(check_ratios)))
    fastest_check = (min(times["extract unchecked"]) - min(times["extract small"])) / max(
        min(times["extract big"]) - min(times["extract small"]), 1e-6)
    print("check ratio of the fastest runs: %.2f" % fastest_check)
    print("processor time (user and system), medians: " + ", ".join(
        "%s %.3f s" % (name, median(values)) for name, values in cpu.items()))
    print("processor-time ratio, extraction / plain copy: median %.2f [%s] (per repeat: %s)"
          % (median(cpu_ratios), ratio_spread(cpu_ratios), ", ".join("%.2f" % r for r in cpu_ratios)))
    print("processor-time check ratio, checked / unchecked: median %.2f [%s] (per repeat: %s)"
          % (median(cpu_check_ratios), ratio_spread(cpu_check_ratios),
             ", ".join("%.2f" % r for r in cpu_check_ratios)))
    print("launcher peak memory (VmHWM): 1-byte entry %.1f MiB, %d MB entry %.1f MiB (medians)"
          % (median(peaks["small"]) / 1024.0, options.mb, median(peaks["big"]) / 1024.0))
    shutil.rmtree(base, ignore_errors=True)


if __name__ == "__main__":
    main()
