#!/usr/bin/env python3
"""Benchmark: a carried JVM archive made by nvjvm from a Java runtime folder,
its size against the folder's and its unpacking under Wine against TreeCopy
(tests/fixtures/bench/TreeCopy.cpp: FindFirstFile, CreateDirectory and
ReadFile/WriteFile with a 1 MiB buffer) copying the same folder, in the same
run.

The folder: bin/java.exe (the stand-in Java), a release file and lib/, a copy
of the lib/ folder of this machine's JDK (the one `java` on PATH belongs to)
with its links resolved; --lib takes another folder. The runtime folder and
the archive lie on the same disk as the destinations.

Each side's start-up is taken off with runs on a tiny folder (bin/java.exe
and release only) of the same program, so the net ratio compares the moving
of the bytes:

    net ratio = (unpack - unpack tiny) / (copy - copy tiny)

1.0 means the unpacker lays out the runtime as fast as the plain copy; it also
inflates. The runs of both sides are interleaved in every repeat, after one
unmeasured round; figures are medians. Every unpacked tree is checked for its
file count and its jvm file.

    python3 bench/jvmarchive_bench.py [BUILD_DIR] [--repeat 5] [--lib DIR]
"""

import argparse
import os
import shutil
import subprocess

from benchlib import HERE, median, spread, start_session, timed_run


def machine_jdk_lib():
    java = shutil.which("java")
    if not java:
        raise SystemExit("no java on PATH: give a folder with --lib")
    return os.path.join(os.path.dirname(os.path.dirname(os.path.realpath(java))), "lib")


def make_runtime(root, java, lib=None):
    os.makedirs(os.path.join(root, "bin"))
    shutil.copyfile(java, os.path.join(root, "bin", "java.exe"))
    with open(os.path.join(root, "release"), "w") as f:
        f.write('JAVA_VERSION="17.0.15"\n')
    if lib:
        shutil.copytree(lib, os.path.join(root, "lib"), symlinks=False, ignore_dangling_symlinks=True)


def tree_figures(root):
    files, size = 0, 0
    for base, _, names in os.walk(root):
        for name in names:
            files += 1
            size += os.path.getsize(os.path.join(base, name))
    return files, size


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("build", nargs="?", default=os.path.join(HERE, "..", "build", "win64"))
    parser.add_argument("--repeat", type=int, default=5)
    parser.add_argument("--lib", help="the folder to carry as lib/ (default: the machine's JDK's lib/)")
    parser.add_argument("--nvjvm", default=os.path.join(HERE, "..", "build", "host", "nvjvm"))
    options = parser.parse_args()
    session = start_session(options.build)
    unpacker = os.path.join(session.build_dir, "JvmUnpacker.exe")
    copier = session.fixture("TreeCopy")
    java = session.fixture("StandInJava")
    for program in (unpacker, copier, java, options.nvjvm):
        if not os.path.exists(program):
            raise SystemExit("%s is not built" % program)
    base = session.scratch("jvmarchive-bench")

    sides = {}
    for size in ("full", "tiny"):
        runtime = os.path.join(base, size + "-runtime")
        make_runtime(runtime, java, (options.lib or machine_jdk_lib()) if size == "full" else None)
        archive = os.path.join(base, size + "-jvm.exe")
        subprocess.run([options.nvjvm, "--runtime", runtime, "--unpacker", unpacker, "--out", archive],
                       check=True, stdout=subprocess.DEVNULL)
        sides[size] = (runtime, archive, tree_figures(runtime))

    target = os.path.join(base, "target")

    def unpack(size):
        runtime, archive, (files, _) = sides[size]
        os.makedirs(target)
        run = timed_run(session, archive, cwd=target)
        got, _ = tree_figures(target)
        if run.exit_code != 0 or got != files + 1 or not os.path.exists(os.path.join(target, "jvm")):
            raise SystemExit("the unpacker failed (exit %d, %d of %d files)" % (run.exit_code, got, files + 1))
        shutil.rmtree(target)
        return run

    def copy(size):
        runtime, _, (files, _) = sides[size]
        run = timed_run(session, copier, [session.windows_path(runtime), session.windows_path(target)])
        got, _ = tree_figures(target)
        if run.exit_code != 0 or got != files:
            raise SystemExit("TreeCopy failed (exit %d, %d of %d files)" % (run.exit_code, got, files))
        shutil.rmtree(target)
        return run

    order = [("unpack", "full"), ("copy", "full"), ("unpack", "tiny"), ("copy", "tiny")]
    times = {key: [] for key in order}
    for key in order:  # one unmeasured round: Wine's first starts are slow
        (unpack if key[0] == "unpack" else copy)(key[1])
    for repeat in range(options.repeat):
        for key in (order if repeat % 2 == 0 else list(reversed(order))):
            times[key].append((unpack if key[0] == "unpack" else copy)(key[1]).seconds)

    _, archive, (files, folder_bytes) = sides["full"]
    archive_bytes = os.path.getsize(archive)
    unpacker_bytes = os.path.getsize(unpacker)
    m = {key: median(values) for key, values in times.items()}
    print("runtime folder: %d files, %d bytes" % (files, folder_bytes))
    print("archive: %d bytes (unpacker %d); archive / folder: %.3f"
          % (archive_bytes, unpacker_bytes, archive_bytes / folder_bytes))
    print("%d repeats (medians; min-max in brackets)" % options.repeat)
    for key in order:
        print("  %-12s %.3f s  [%s]" % ("%s %s:" % key, m[key], spread(times[key])))
    print("time ratio, unpack / copy: %.2f" % (m[("unpack", "full")] / m[("copy", "full")]))
    net_unpack = m[("unpack", "full")] - m[("unpack", "tiny")]
    net_copy = m[("copy", "full")] - m[("copy", "tiny")]
    print("start-up taken off: unpack %.3f s (%.0f MB/s), copy %.3f s (%.0f MB/s); net ratio %.2f"
          % (net_unpack, folder_bytes / 1e6 / max(net_unpack, 1e-6), net_copy,
             folder_bytes / 1e6 / max(net_copy, 1e-6), net_unpack / max(net_copy, 1e-6)))


if __name__ == "__main__":
    main()
