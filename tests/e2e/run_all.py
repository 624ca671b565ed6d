#!/usr/bin/env python3
"""Runs every tests/e2e/test_*.py in one Wine session and ends with one summary line:
"e2e: N passed, M failed" (", K skipped" when some were skipped). Exit code 1 if any failed.

Usage: run_all.py [BUILD_DIR] [--nvpack PATH] [--work DIR] [-k PATTERN] [-v]
BUILD_DIR is a Windows build tree, build/win64 or build/win32 (launcher.exe and fixtures/ of
that stub); it defaults to $NV_E2E_BUILD or build/win64 of this checkout, nvpack to
$NV_NVPACK or build/host/nvpack of this checkout, the work directory (prefix, scratch files,
run records) to $NV_E2E_WORK or <build>/e2e, so that runs of the two stubs keep apart.
"""

import argparse
import os
import signal
import sys
import time
import traceback
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)

import harness  # noqa: E402


class CountingResult(unittest.TestResult):
    """Counts outcomes and prints each failure as it happens (each test with -v)."""

    def __init__(self, verbose):
        super().__init__()
        self.verbose = verbose
        self.passed = 0
        self.failed = 0
        self.skipped_count = 0
        self.began = time.monotonic()

    def startTest(self, test):
        super().startTest(test)
        self.began = time.monotonic()

    def _report(self, test, outcome, detail=None):
        if self.verbose or detail:
            print("%s: %s (%.1f s)" % (outcome, test.id(), time.monotonic() - self.began), flush=True)
        if detail:
            print(detail, flush=True)

    def addSuccess(self, test):
        self.passed += 1
        self._report(test, "ok")

    def addExpectedFailure(self, test, err):
        self.passed += 1
        self._report(test, "ok (expected failure)")

    def addFailure(self, test, err):
        self.failed += 1
        self._report(test, "FAIL", self._exc_info_to_string(err, test))

    def addError(self, test, err):
        self.failed += 1
        self._report(test, "ERROR", self._exc_info_to_string(err, test))

    def addUnexpectedSuccess(self, test):
        self.failed += 1
        self._report(test, "FAIL (unexpected success)", "")

    def addSkip(self, test, reason):
        self.skipped_count += 1
        self._report(test, "skipped (%s)" % reason)

    def addSubTest(self, test, subtest, err):
        # A test with failing sub-cases counts once, as failed (unittest then skips
        # addSuccess); passing sub-cases count nothing.
        if err is not None and not getattr(test, "_nv_failed", False):
            test._nv_failed = True
            self.failed += 1
        if err is not None:
            self._report(subtest, "FAIL", self._exc_info_to_string(err, test))


def main():
    parser = argparse.ArgumentParser(description="Runs the end-to-end tests under Wine.")
    parser.add_argument("build_dir", nargs="?", default=os.environ.get("NV_E2E_BUILD", harness.DEFAULT_BUILD))
    parser.add_argument("--nvpack", default=os.environ.get("NV_NVPACK", harness.DEFAULT_NVPACK))
    parser.add_argument("--work", default=os.environ.get("NV_E2E_WORK"))
    parser.add_argument("-k", dest="pattern", help="run only tests whose id contains this text")
    parser.add_argument("-v", dest="verbose", action="store_true", help="print every test's outcome")
    options = parser.parse_args()

    # A terminated run still ends its wineserver and Xvfb.
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(143))
    session = harness.configure(options.build_dir, options.nvpack, options.work)
    suite = unittest.TestLoader().discover(HERE, pattern="test_*.py", top_level_dir=HERE)
    if options.pattern:
        suite = unittest.TestSuite(t for t in iterate(suite) if options.pattern in t.id())
    result = CountingResult(options.verbose)
    began = time.monotonic()
    try:
        session.start()
        suite.run(result)
    except Exception:
        # Without a Wine session no test can run: all of them count as failed.
        traceback.print_exc()
        result.failed = suite.countTestCases()
    finally:
        session.close()
    if options.verbose:
        print("(%.1f s)" % (time.monotonic() - began))
    summary = "e2e: %d passed, %d failed" % (result.passed, result.failed)
    if result.skipped_count:
        summary += ", %d skipped" % result.skipped_count
    print(summary)
    return 1 if result.failed else 0


def iterate(suite):
    for item in suite:
        if isinstance(item, unittest.TestSuite):
            yield from iterate(item)
        else:
            yield item


if __name__ == "__main__":
    sys.exit(main())
