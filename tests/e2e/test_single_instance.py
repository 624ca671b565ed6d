"""SINGLE_INSTANCE end to end: while a launcher whose instruction file asks
for one instance runs (its stand-in Java waits), a second start of the same
file brings the first forward and ends at once with -2 (254 under Wine); the
first runs on to its end. Without the tag two starts both run. Two launchers
embedded in one file, each asking for one instance, both run; a second start
of the file starts neither again."""

import os
import shutil
import signal
import subprocess
import time
import unittest

import harness
from launcherfiles import pack, read_text

ANOTHER_INSTANCE = 254  # -2 modulo 256


class SingleInstanceTest(unittest.TestCase):
    def setUp(self):
        self.s = harness.session()
        self.started = []

    def tearDown(self):
        for process in self.started:
            if process.poll() is None:
                os.killpg(process.pid, signal.SIGKILL)
                process.wait()

    def launcher(self, name, single, d=None):
        """A launcher that shows its window and launches a stand-in Java that waits for wait.txt to go."""
        d = d or self.s.scratch(name)
        home = os.path.join(d, "jdk")
        os.makedirs(os.path.join(home, "bin"))
        shutil.copyfile(self.s.fixture("StandInJava"), os.path.join(home, "bin", "java.exe"))
        open(os.path.join(home, "bin", "wait.txt"), "wb").close()
        jvm = os.path.join(d, "jvm.tag")
        with open(jvm, "wb") as f:
            f.write(b"JVM_HOME: " + self.s.windows_path(home).encode() + b"\nJVM_EXE: bin\\java.exe\n")
        program = ((b"SINGLE_INSTANCE: 1\n" if single else b"") + b'INSTRUCTIONS:\nINITIALIZE_UI\nLAUNCH "' +
                   self.s.windows_path(jvm).encode() + b'" 120\n/:\n')
        path = pack(self.s, d, [(0, 1, "prog.tag", program),
                                (2, 2, "launch.tag", b'DESC: Single App\nCOMMAND: """@JVM_HOME@\\@JVM_EXE@"" run"\n')])
        return d, home, path

    def start(self, path, d, log):
        """Starts the launcher without waiting for it."""
        out = open(os.path.join(d, log + ".out"), "wb")
        self.addCleanup(out.close)
        process = subprocess.Popen(["wine", self.s.windows_path(path), "-nv:log", log], stdin=subprocess.DEVNULL,
                                   stdout=out, stderr=out, env=self.s.environment(), cwd=d, start_new_session=True)
        self.started.append(process)
        return process

    @staticmethod
    def launches(home):
        record = os.path.join(home, "bin", "record.txt")
        if not os.path.exists(record):
            return 0
        with open(record, "rb") as f:
            return f.read().count(b"commandline=")

    @staticmethod
    def release(home):
        """Lets the stand-in Java of home end."""
        wait = os.path.join(home, "bin", "wait.txt")
        if os.path.exists(wait):
            os.remove(wait)

    def wait_for_launches(self, home, count):
        deadline = time.monotonic() + 60
        while self.launches(home) < count:
            self.assertLess(time.monotonic(), deadline, "the stand-in Java was launched %d times, not %d"
                            % (self.launches(home), count))
            time.sleep(0.2)

    def test_a_second_start_brings_the_first_forward_and_ends(self):
        d, home, path = self.launcher("single-instance", single=True)
        first = self.start(path, d, "first.log")
        self.wait_for_launches(home, 1)

        second = self.s.run(path, ["-nv:log", "second.log"], cwd=d, timeout=30)
        log = read_text(os.path.join(d, "second.log"))
        self.assertEqual(second.exit_code, ANOTHER_INSTANCE, log)
        self.assertIn("\nAlready running.\n", log)
        self.assertNotIn("Executing launch script command", log)
        self.assertIsNone(first.poll(), "the first start ended")
        self.assertEqual(self.launches(home), 1)

        os.remove(os.path.join(home, "bin", "wait.txt"))
        self.assertEqual(first.wait(60), 0)
        # Once the first has ended, a start is the one instance again.
        third = self.s.run(path, ["-nv:silent"], cwd=d, timeout=60)
        self.assertEqual(third.exit_code, 0)
        self.assertEqual(self.launches(home), 2)

    def test_each_embedded_launcher_is_an_instance_of_its_own(self):
        d = self.s.scratch("embedded-instances")
        inner = []
        for name in ("one", "two"):
            os.makedirs(os.path.join(d, name))
            _, home, path = self.launcher(name, single=True, d=os.path.join(d, name))
            with open(path, "rb") as f:
                inner.append((home, f.read()))
            # Their stand-in Javas wait until this goes, also when the test fails.
            self.addCleanup(self.release, home)
        outer = pack(self.s, d, [(0, 1, "prog.tag", b"INSTRUCTIONS:\nEXECUTE_LAUNCHER 1\nEXECUTE_LAUNCHER 2\n/:\n"),
                                 (7, 2, "one.exe", inner[0][1]), (7, 3, "two.exe", inner[1][1])])
        log = os.path.join(d, "shared.log")
        # The embedded launchers' directories are handed on to them and outlive the run by design.
        self.assertEqual(self.s.run(outer, ["-nv:log", self.s.windows_path(log)], cwd=d, keeps_temp=True).exit_code, 0)
        for home, _ in inner:
            self.wait_for_launches(home, 1)

        # A second start of the file: each embedded launcher finds itself running.
        self.assertEqual(self.s.run(outer, ["-nv:log", self.s.windows_path(log)], cwd=d, keeps_temp=True).exit_code, 0)
        # Lines, not text: the two write their lines in either order.
        self.assertTrue(harness.wait_for(lambda: read_text(log).split("\n").count("Already running.") == 2,
                                         timeout=60), read_text(log))
        self.assertEqual([self.launches(home) for home, _ in inner], [1, 1])

    def test_without_the_tag_two_starts_both_run(self):
        d, home, path = self.launcher("two-instances", single=False)
        first = self.start(path, d, "first.log")
        second = self.start(path, d, "second.log")
        self.wait_for_launches(home, 2)
        os.remove(os.path.join(home, "bin", "wait.txt"))
        self.assertEqual((first.wait(60), second.wait(60)), (0, 0))


if __name__ == "__main__":
    unittest.main()
