#!/usr/bin/env python3
"""Benchmark: finding the newest installed Java through the catalogue of common
installs, against finding it through exact hints, on a prefix holding the
sixteen Java installs of tests/e2e/javainstalls.py (each laid as its vendor's
installer lays it, every home with its `release` file), in the same run under Wine.

- catalogue: the launcher's SEARCH with a JVM file holding only JVM_EXE,
  `KNOWN_JAVA_INSTALLS: 1`, the range 11 - 17 and `PREFER: NEWEST`: it reads
  JAVA_HOME, PATH, the vendors' keys in both hives and views and lists their
  default folders;
- exact hints: the same JVM file with one exact hint per install instead of
  the catalogue, each naming that install (a PLATFORM_HINT of the value its
  installer wrote; a PATH_HINT of the home found through JAVA_HOME or PATH);
- one hint: the same JVM file with only a PATH_HINT of the newest home, the
  least a search can do (read one release file, start one Java); what the
  two searches take beyond it is the gathering of their candidates;
- unranked: the catalogue with the release files taken away and a range no
  install meets (22 - 23), so that every home is started once and refused:
  what the release files save;
- baseline: the stand-in java.exe started directly with the verification's
  arguments, one Java start under Wine, which every search costs at least.

The searches must print the same home (Oracle JDK 17.0.12, the newest in
range); the unranked one prints 0. Each figure is the ratio of a search's wall time to the baseline's
in the same repeat, the sides taking turns in a rotating order; the report
gives the median and min-max of the ratios and of the seconds, the processor
time (user and system, which a busy machine disturbs less), and the Java
starts each search cost (counted in the stand-ins' record files).

    python3 bench/discovery_bench.py [BUILD_DIR] [--repeat 7]
"""

import argparse
import os
import shutil

from benchlib import HERE, median, ratio_spread, spread, start_session, timed_run
import javainstalls as ji  # noqa: E402  (tests/e2e, on the path through benchlib)

SEARCH_INPUT = (b"ACTION: SEARCH\nLOGFILE: run.log\nVERIFY_CLASSPATH: verify.jar\nVERIFY_CLASS_NAME: Verify\n"
                b"JVM: search.jvm\n")
RANGE = b"DESC: Installed Java\nJVM_EXE: bin\\java.exe\nMIN_JAVA_VERSION: 11\nMAX_JAVA_VERSION: 17\nPREFER: NEWEST\n"
HOME_VALUES = ("Path", "JavaHome", "InstallationPath")


def exact_hints():
    """One hint per install, naming its home exactly."""
    platform, path = [], []
    for install in ji.INSTALLS:
        named = [(hive, key, name) for hive, _, key, values in install.keys for name, value in values.items()
                 if name in HOME_VALUES and isinstance(value, str) and value.rstrip("\\") == install.home]
        if named:
            hive, key, name = named[0]
            platform.append("%s\\%s\\%s" % (hive, key, name))
        else:
            path.append(install.home)
    text = "PLATFORM_HINT:\n%s\n/:\nPATH_HINT:\n%s\n/:\n" % ("\n".join(platform), "\n".join(path))
    return text.encode(), len(platform) + len(path)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("build", nargs="?", default=os.path.join(HERE, "..", "build", "win64"))
    parser.add_argument("--repeat", type=int, default=7)
    options = parser.parse_args()
    session = start_session(options.build)
    base = session.scratch("discovery-bench")
    ji.remove_all(session)
    ji.install_all(session)
    hints, hint_count = exact_hints()
    newest = ji.BY_NAME["oracle-jdk-17"]
    folders = {"catalogue": RANGE + b"KNOWN_JAVA_INSTALLS: 1\n", "exact hints": RANGE + hints,
               "one hint": RANGE + b"PATH_HINT: " + newest.home.encode() + b"\n",
               "unranked": RANGE.replace(b"11\n", b"22\n").replace(b"17\n", b"23\n") + b"KNOWN_JAVA_INSTALLS: 1\n"}
    releases = [os.path.join(ji.linux_path(session, i.home), "release") for i in ji.INSTALLS]
    for side, jvm in folders.items():
        os.makedirs(os.path.join(base, side))
        for name, data in (("in.tag", SEARCH_INPUT), ("search.jvm", jvm)):
            with open(os.path.join(base, side, name), "wb") as f:
                f.write(data)
    java = os.path.join(ji.linux_path(session, newest.home), "bin", "java.exe")
    verify = ["-cp", "verify.jar", "Verify", "java.version"]

    def search(side):
        ji.clear_starts(session)
        if side == "unranked":
            for release in releases:
                os.rename(release, release + ".off")
        try:
            run = timed_run(session, session.launcher, ["-nv:silent", "-nv:in", "in.tag"],
                            cwd=os.path.join(base, side))
        finally:
            if side == "unranked":
                for release in releases:
                    os.rename(release + ".off", release)
        lines = run.stdout.decode("latin-1").replace("\r\n", "\n").split("\n")
        run.java_starts = sum(len(runs) for runs in ji.java_starts(session).values())
        if side == "unranked":
            if run.exit_code != 0 or lines[0] != "0" or run.java_starts != len(ji.INSTALLS):
                raise SystemExit("the unranked search: exit %d, %r, %d Java starts" % (run.exit_code, lines[:3],
                                                                                      run.java_starts))
            return run
        if run.exit_code != 0 or lines[0] != "1" or lines[1].rstrip("\\") != newest.home:
            raise SystemExit("the %s search did not find %s: exit %d, %r" % (side, newest.home, run.exit_code,
                                                                              lines[:3]))
        # The JVM file SEARCH keeps for its caller.
        os.remove(os.path.join(session.temp_dir, lines[2].rsplit("\\", 1)[1]))
        return run

    def baseline(_side):
        ji.clear_starts(session)
        run = timed_run(session, java, verify, cwd=base)
        if run.exit_code != 0 or not run.stdout.startswith(b"1739021872"):
            raise SystemExit("the stand-in Java did not answer: exit %d, %r" % (run.exit_code, run.stdout[:100]))
        return run

    sides = {"baseline": baseline, "catalogue": search, "exact hints": search, "one hint": search, "unranked": search}
    names = list(sides)
    seconds = {name: [] for name in names}
    cpu = {name: [] for name in names}
    starts = {name: [] for name in names}
    ratios = {name: [] for name in names if name != "baseline"}
    for name in names:  # one unmeasured round: Wine's first starts in a fresh prefix are slow
        sides[name](name)
    for repeat in range(options.repeat):
        order = names[repeat % len(names):] + names[:repeat % len(names)]
        this = {}
        for name in order:
            run = sides[name](name)
            this[name] = run.seconds
            seconds[name].append(run.seconds)
            cpu[name].append(run.cpu_seconds)
            starts[name].append(getattr(run, "java_starts", 1))
        for name in ratios:
            ratios[name].append(this[name] / this["baseline"])
    print("%d installs (%d exact hints), %d repeats; medians, min-max in brackets"
          % (len(ji.INSTALLS), hint_count, options.repeat))
    for name in names:
        line = "  %-12s %.3f s [%s]" % (name + ":", median(seconds[name]), spread(seconds[name]))
        if name in ratios:
            line += "  ratio to baseline %.2f [%s]" % (median(ratios[name]), ratio_spread(ratios[name]))
        line += "  processor %.3f s  Java starts %s" % (median(cpu[name]), "/".join(
            str(n) for n in sorted(set(starts[name]))))
        print(line)
    catalogue, exact = ratios["catalogue"], ratios["exact hints"]
    print("catalogue / exact hints, per repeat: median %.2f [%s]" % (
        median([c / e for c, e in zip(catalogue, exact)]),
        ratio_spread([c / e for c, e in zip(catalogue, exact)])))
    for name in ("catalogue", "exact hints"):
        print("%s beyond one hint: %+.3f s wall, %+.3f s processor (medians)" % (
            name, median(seconds[name]) - median(seconds["one hint"]), median(cpu[name]) - median(cpu["one hint"])))
    ji.remove_all(session)
    shutil.rmtree(base, ignore_errors=True)


if __name__ == "__main__":
    main()
