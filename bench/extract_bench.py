#!/usr/bin/env python3
"""Benchmark: the launcher extracts a 200 MB embedded file under Wine.

Reports the extraction's throughput as a ratio against a plain copy of the
same bytes measured in the same run (shutil.copyfile, 1 MiB buffers), with
the launcher's start-up time (an extraction of a 1-byte entry) taken off, and
the launcher process's peak resident memory during the extraction.

    python3 bench/extract_bench.py [BUILD_DIR] [--mb 200] [--repeat 3]
"""

import argparse
import os
import shutil
import subprocess
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "tests", "e2e"))

import harness  # noqa: E402
from launcherfiles import pack  # noqa: E402


def peak_memory_kib(name):
    """The largest VmHWM among running processes whose command line names `name`."""
    peak = 0
    for pid in os.listdir("/proc"):
        if not pid.isdigit():
            continue
        try:
            with open("/proc/%s/cmdline" % pid, "rb") as f:
                if name.encode() not in f.read():
                    continue
            with open("/proc/%s/status" % pid) as f:
                for line in f:
                    if line.startswith("VmHWM:"):
                        peak = max(peak, int(line.split()[1]))
        except OSError:
            pass
    return peak


def timed_extract(session, launcher, out_dir):
    """Seconds to run launcher -nv:silent -nv:extract in out_dir, and the peak memory seen."""
    shutil.rmtree(out_dir, ignore_errors=True)
    os.makedirs(out_dir)
    name = os.path.basename(launcher)
    began = time.monotonic()
    process = subprocess.Popen(["wine", session.windows_path(launcher), "-nv:silent", "-nv:extract"],
                               stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                               env=session.environment(), cwd=out_dir)
    peak = 0
    while process.poll() is None:
        peak = max(peak, peak_memory_kib(name))
        time.sleep(0.02)
        if time.monotonic() - began > 600:
            process.kill()
            raise SystemExit("the extraction did not end within 600 s")
    return time.monotonic() - began, peak


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("build", nargs="?", default=os.path.join(HERE, "..", "build", "win64"))
    parser.add_argument("--mb", type=int, default=200)
    parser.add_argument("--repeat", type=int, default=3)
    options = parser.parse_args()
    harness.configure(build_dir=os.path.abspath(options.build),
                      work_dir=os.path.join(os.path.abspath(options.build), "bench"))
    session = harness.session()
    base = session.scratch("extract-bench")
    size = options.mb * 1000 * 1000
    data = os.urandom(1 << 20) * (size // (1 << 20)) + os.urandom(size % (1 << 20))
    os.makedirs(os.path.join(base, "big"))
    os.makedirs(os.path.join(base, "small"))
    big = pack(session, os.path.join(base, "big"), [(6, 1, "payload.bin", data)], name="big.exe")
    small = pack(session, os.path.join(base, "small"), [(6, 1, "payload.bin", b"x")], name="small.exe")
    source = os.path.join(base, "big", "sources", "0.bin")
    del data

    copies, extractions, startups, peaks = [], [], [], []
    for _ in range(options.repeat):
        target = os.path.join(base, "copy.bin")
        began = time.monotonic()
        shutil.copyfile(source, target)
        copies.append(time.monotonic() - began)
        os.remove(target)
        seconds, _ = timed_extract(session, small, os.path.join(base, "out-small"))
        startups.append(seconds)
        seconds, peak = timed_extract(session, big, os.path.join(base, "out-big"))
        extractions.append(seconds)
        peaks.append(peak)
        with open(os.path.join(base, "out-big", "payload.bin"), "rb") as f, open(source, "rb") as g:
            if f.read() != g.read():
                raise SystemExit("the extracted file differs from its source")

    copy = min(copies)
    startup = min(startups)
    extraction = max(min(extractions) - startup, 1e-6)
    print("size: %d MB" % options.mb)
    print("plain copy: %.3f s (%.0f MB/s)" % (copy, options.mb / copy))
    print("launcher start-up (1-byte entry): %.3f s" % startup)
    print("launcher extraction, start-up taken off: %.3f s (%.0f MB/s)" % (extraction, options.mb / extraction))
    print("throughput ratio, extraction / plain copy: %.2f" % (copy / extraction))
    print("launcher peak resident memory during extraction: %.1f MiB" % (max(peaks) / 1024.0))
    shutil.rmtree(base, ignore_errors=True)


if __name__ == "__main__":
    main()
