#!/usr/bin/env python3
"""Benchmark: variable substitution of the instruction language (SET, LAUNCH and
every other argument) on texts of one shape at two sizes, the second four times
the first; a substitution whose time grows with its text alone costs about four
times as much on the larger one.

The shapes are those that once cost time growing with the square of the text:
long runs of digits or blanks in front of many replacements (each replacement
looked back over the whole run), values of digits inserted one after the other,
and long runs of "@" (each "@@" moved the rest of the text):

    digits        15,000 digits, then 250 "@S1@" (S1 "7"); x4: 60,000 and 1,000
    blanks        the same with blanks (S1 a blank)
    digit-values  250 "@S1@" with S1 = 64 digits; x4: 1,000 (a 64,000-byte result)
    at-signs      256 KiB of "@"; x4: 1 MiB

It runs build/host/bench/substitution_bench (a host program: the substitution is
portable code, and its time is the same in the stub), the two sizes taking turns
in every repeat; each figure is the mean of as many substitutions as fill 0.2 s.
Reported: the median time of each size and the median of the per-repeat ratios
(x4 / x1) with their spread. --reference also times the plain rescanning
substitution of the tests (tests/support/ReferenceSubstitution.h) on the
shapes where it ends within seconds.

    python3 bench/substitution_bench.py [HOST_BUILD_DIR] [--repeat 7] [--reference]
"""

import argparse
import os
import subprocess

from benchlib import HERE, median

SHAPES = ["digits", "blanks", "digit-values", "at-signs"]


def timed(program, shape, scale, reference=False):
    argv = [program, shape, str(scale)] + (["reference"] if reference else [])
    out = subprocess.run(argv, check=True, stdout=subprocess.PIPE, text=True).stdout.split()
    return float(out[0]), int(out[1])


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("build", nargs="?", default=os.path.join(HERE, "..", "build", "host"))
    parser.add_argument("--repeat", type=int, default=7)
    parser.add_argument("--reference", action="store_true")
    options = parser.parse_args()
    program = os.path.join(options.build, "bench", "substitution_bench")
    if not os.path.exists(program):
        raise SystemExit("%s is not built (cmake --build %s --target substitution_bench)" % (program, options.build))
    print("%d repeats; times are medians, ratios the median of the per-repeat ratios [min-max]" % options.repeat)
    for shape in SHAPES:
        times = {1: [], 4: []}
        sizes = {}
        for repeat in range(options.repeat):
            for scale in ((1, 4) if repeat % 2 == 0 else (4, 1)):
                seconds, sizes[scale] = timed(program, shape, scale)
                times[scale].append(seconds)
        ratios = sorted(big / small for small, big in zip(times[1], times[4]))
        print("  %-13s %8d bytes %9.3f ms   %8d bytes %9.3f ms   ratio %.2f [%.2f-%.2f]"
              % (shape, sizes[1], median(times[1]) * 1e3, sizes[4], median(times[4]) * 1e3,
                 median(ratios), ratios[0], ratios[-1]))
        if options.reference and shape != "at-signs":
            old = [timed(program, shape, scale, True)[0] for scale in (1, 4)]
            print("  %-13s rescanning substitution: %.3f ms and %.3f ms, ratio %.2f"
                  % ("", old[0] * 1e3, old[1] * 1e3, old[1] / old[0]))


if __name__ == "__main__":
    main()
