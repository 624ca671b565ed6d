"""Runs that used to crash, hang or end in silence: each ends by itself within
seconds, says why in the run log, fails with the launcher's exit code and
leaves nothing in the temporary directory (the harness checks that for every
run). Also the exit code of a good run, a fault on a thread, a search that
loops, long and reserved names at extraction."""

import glob
import os
import shutil
import threading
import time
import unittest

import harness
from launcherfiles import FAILED_RUN, pack, pack_by_hand, read_text

JVM_FILE = b"DESC: stand-in\nJVM_HOME: C:\\nowhere\nJVM_EXE: bin\\java.exe\n"
ILAUNCH = b"INSTRUCTIONS:\nILAUNCH 2 0\n/:\n"
NESTED = ("Launch script error: The class path refers to itself: %CP% may not stand in ARCHIVE, JVM_CLASSPATH, "
          "a companion list or an argument of CP.")

DAMAGED = "The launcher file is damaged. Please download it again."


class PressureTest(unittest.TestCase):
    def setUp(self):
        self.s = harness.session()

    def failed_run(self, name, entries, by_hand=False, companions=None, args=()):
        """Packs entries (unchecked), runs the launcher silently and returns its run log
        after checking that the run failed."""
        d = self.s.scratch("pressure-" + name)
        if by_hand:
            path = pack_by_hand(self.s, d, entries)
        else:
            path = pack(self.s, d, entries, check=False)
        for suffix, text in (companions or {}).items():
            with open(os.path.join(d, "setup" + suffix), "wb") as f:
                f.write(text)
        result = self.s.run(path, ["-nv:silent", "-nv:log", "x"] + list(args), cwd=d, timeout=60, watch=True)
        log = read_text(os.path.join(d, "x"))
        self.assertEqual(result.exit_code, FAILED_RUN, log)
        self.assertEqual(result.message_boxes, [])
        self.assertLess(result.seconds, 30, log)
        return log

    def launch_fails(self, name, script, expected, companions=None):
        log = self.failed_run(name, [(0, 1, "prog.tag", ILAUNCH), (1, 2, "jvm.tag", JVM_FILE),
                                     (2, 3, "launch.tag", script)], companions=companions)
        self.assertTrue(log.endswith("ERROR: " + expected + "\n"), log)
        return log

    def test_faulty_launch_scripts_end_with_their_own_message(self):
        cases = [
            ("no-command", b"COMAND: java -jar app.jar\n", "The launch script has no COMMAND.", None),
            ("archive", b'COMMAND: java %CP%() Main\nARCHIVE: "%CP%()"\n', NESTED, None),
            ("companion", b"COMMAND: java %CP%() Main\n", NESTED, {".cp": b"%CP%()\n"}),
            ("replace", b'COMMAND: %REPLACE%("a","' + b"b" * 60000 + b'","' + b"a" * 60000 + b'")\n',
             "Launch script error: The launch command grows past 1048576 characters while its references are "
             "replaced.", None),
            ("long", b"COMMAND: java " + b"x" * 40000 + b"\n",
             "The command is 40005 characters long; Windows allows 32,767.", None),
        ]
        for name, script, expected, companions in cases:
            with self.subTest(name):
                log = self.launch_fails(name, script, expected, companions)
                if name == "no-command":
                    self.assertNotIn("Executing launch script command", log)

    def test_a_launch_with_a_jvm_file_without_jvm_exe_names_it(self):
        d = self.s.scratch("pressure-nojvmexe")
        path = pack(self.s, d, [(0, 1, "prog.tag", ILAUNCH), (1, 2, "broken.tag", b"DESC: no program\n"),
                                (2, 3, "launch.tag", b'COMMAND: """@JVM_HOME@\\@JVM_EXE@"" Main"\n')], check=False)
        result = self.s.run(path, ["-nv:silent", "-nv:log", "x"], cwd=d, timeout=60)
        self.assertEqual(result.exit_code, FAILED_RUN)
        self.assertTrue(read_text(os.path.join(d, "x")).endswith("ERROR: The JVM file broken.tag has no JVM_EXE.\n"))

    def test_damaged_or_misspelt_programs_are_refused(self):
        with open(self.s.launcher, "rb") as f:
            stub_size = len(f.read())
        program = b"INSTRUCTIONS:\nSET N1 = 1\n/:\n"
        cases = [
            ("empty", [(0, 1, b"prog.tag", b"")], "The instruction file has no INSTRUCTIONS."),
            ("misspelt", [(0, 1, b"prog.tag", b"INSTRUCTION:\nSET N1 = 1\n/:\n")],
             "The instruction file has no INSTRUCTIONS."),
        ]
        for name, entries, expected in cases:
            with self.subTest(name):
                log = self.failed_run(name, entries, by_hand=True)
                self.assertTrue(log.endswith(expected + "\n"), log)
        # Offsets that point into the stub, into the index or past the end.
        for name, offset in [("in-stub", 16), ("in-index", stub_size + len(program)), ("past-end", 1 << 24)]:
            with self.subTest(name):
                d = self.s.scratch("pressure-" + name)
                path = pack_by_hand(self.s, d, [(0, 1, b"prog.tag", program)])
                with open(path, "r+b") as f:
                    f.seek(stub_size + len(program) + 4 + 9)  # the first entry's offset
                    f.write(offset.to_bytes(4, "big"))
                result = self.s.run(path, ["-nv:silent", "-nv:log", "x"], cwd=d, timeout=60)
                log = read_text(os.path.join(d, "x"))
                self.assertEqual(result.exit_code, FAILED_RUN, log)
                self.assertTrue(log.endswith("ERROR: The embedded file prog.tag lies outside the launcher file's "
                                             "payload; it may be damaged.\nERROR: %s\n" % DAMAGED), log)

    def test_names_extraction_cannot_undo_are_refused_before_writing(self):
        long_name = "a" * 251 + ".jar"
        d = self.s.scratch("pressure-long-name")
        path = pack(self.s, d, [(0, 1, "prog.tag", ILAUNCH), (1, 2, "jvm.tag", JVM_FILE),
                                (2, 3, "launch.tag", b"COMMAND: java %CP%() Main\n"), (3, 4, long_name, b"PK")])
        result = self.s.run(path, ["-nv:silent", "-nv:log", "x"], cwd=d, timeout=60)
        log = read_text(os.path.join(d, "x"))
        self.assertEqual(result.exit_code, FAILED_RUN, log)
        self.assertIn("ERROR: The embedded file " + long_name + " would be written as ", log)
        self.assertTrue(log.endswith(", a path longer than the 259 characters that Windows can remove; nothing was "
                                     "extracted.\n"), log)
        self.assertNotIn("Could not delete", log)

        # -nv:extract writes input.tag itself: an entry of that name would be lost.
        d = self.s.scratch("pressure-input-tag")
        path = pack_by_hand(self.s, d, [(0, 1, b"prog.tag", b"INSTRUCTIONS:\nSET N1 = 1\n/:\n"),
                                        (6, 2, b"Input.Tag", b"the author's own")])
        out = os.path.join(d, "out")
        os.makedirs(out)
        result = self.s.run(path, ["-nv:silent", "-nv:log", "x", "-nv:extract"], cwd=out, timeout=60)
        self.assertEqual(result.exit_code, FAILED_RUN)
        self.assertEqual(sorted(os.listdir(out)), ["x"])
        self.assertIn("The embedded file Input.Tag has the name of the input.tag that -nv:extract writes; nothing "
                      "was extracted.", read_text(os.path.join(out, "x")))

    def test_the_exit_code_follows_the_end_of_run_rule(self):
        java = self.s.fixture("StandInJava")
        for code, mode, exit_code in [(1000, 0, 0), (1000, 2, 0), (1000, 1, 1000 % 256), (0, 1, 0), (3, 0, 3)]:
            with self.subTest(code=code, mode=mode):
                d = self.s.scratch("exit-%d-%d" % (code, mode))
                home = os.path.join(d, "jdk")
                os.makedirs(os.path.join(home, "bin"))
                shutil.copyfile(java, os.path.join(home, "bin", "java.exe"))
                with open(os.path.join(home, "bin", "exitcode.txt"), "w") as f:
                    f.write(str(code))
                jvm = b"JVM_HOME: " + self.s.windows_path(home).encode() + b"\nJVM_EXE: bin\\java.exe\n"
                path = pack(self.s, d, [(0, 1, "prog.tag", ILAUNCH), (1, 2, "jvm.tag", jvm),
                                        (2, 3, "launch.tag", b'COMMAND: """@JVM_HOME@\\@JVM_EXE@"" Main"\n')],
                            mode=mode)
                result = self.s.run(path, ["-nv:silent"], cwd=d, timeout=60)
                self.assertEqual(result.exit_code, exit_code)

    def test_a_fault_on_a_thread_ends_the_process_with_a_last_log_line(self):
        probe = self.s.fixture("FaultProbe")
        # A stack overflow leaves Wine no stack for the filter: the waiting thread reports it.
        worker = "ERROR: The launcher stopped on a fault: its worker thread ended before the run did.\n"
        filtered = "ERROR: The launcher stopped on a fault (exception code %s).\n"
        for kind, code in [("null", "0xC0000005"), ("stack", "0xC00000FD")]:
            with self.subTest(kind):
                d = self.s.scratch("fault-" + kind)
                tree = os.path.join(d, "LRE1.tmp")
                os.makedirs(tree)
                open(os.path.join(tree, "f.txt"), "w").close()
                result = self.s.run(probe, ["x", self.s.windows_path(tree), kind], cwd=d, timeout=60, watch=True)
                self.assertEqual(result.exit_code, FAILED_RUN)
                self.assertEqual(result.message_boxes, [])
                log = read_text(os.path.join(d, "x"))
                self.assertTrue(log.endswith(filtered % code) or (kind == "stack" and log.endswith(worker)), log)
                self.assertFalse(os.path.exists(tree))

    def test_a_fault_on_the_user_interface_thread_stops_the_worker_before_it_starts_a_child(self):
        probe = self.s.fixture("FaultProbe")
        d = self.s.scratch("fault-ui")
        tree = os.path.join(d, "LRE1.tmp")
        os.makedirs(tree)
        # Enough files that the clean-up takes a while, in which the worker tries to start a child.
        for n in range(300):
            open(os.path.join(tree, "f%03d.txt" % n), "w").close()
        marker = os.path.join(d, "started.txt")
        result = self.s.run(probe, ["x", self.s.windows_path(tree), "ui", self.s.windows_path(marker)], cwd=d,
                            timeout=60, watch=True)
        self.assertEqual(result.exit_code, FAILED_RUN)
        self.assertEqual(result.message_boxes, [])
        log = read_text(os.path.join(d, "x"))
        line = "ERROR: The launcher stopped on a fault (exception code 0xC0000005).\n"
        self.assertTrue(log.endswith(line), log)
        self.assertEqual(log.count("ERROR:"), 1, log)
        self.assertFalse(os.path.exists(tree))
        # A child started in spite of the fault would have left its mark by now.
        time.sleep(3)
        self.assertFalse(os.path.exists(marker))

    def test_a_fault_inside_the_fault_handler_ends_the_process_at_once(self):
        # The handler's own first step faults as well: no report, but no wait for ever either.
        probe = self.s.fixture("FaultProbe")
        d = self.s.scratch("fault-nested")
        os.makedirs(os.path.join(d, "LRE1.tmp"))
        result = self.s.run(probe, ["x", self.s.windows_path(os.path.join(d, "LRE1.tmp")), "nested"], cwd=d,
                            timeout=30, watch=True)
        self.assertEqual(result.exit_code, FAILED_RUN)
        self.assertEqual(result.message_boxes, [])
        self.assertFalse(os.path.exists(os.path.join(d, "x")))

    def test_a_search_in_a_loop_holds_one_temporary_directory_at_most(self):
        d = self.s.scratch("pressure-loop")
        program = b"INSTRUCTIONS:\n:AGAIN\nFIND_JVM 0 0\nGOTO AGAIN\n/:\n"
        # Without a verification archive on purpose, which nvpack would refuse.
        path = pack(self.s, d, [(0, 1, "prog.tag", program), (1, 2, "jvm.tag", JVM_FILE)], check=False)
        before = set(glob.glob(os.path.join(self.s.temp_dir, "LRE*")))
        seen = []
        stop = threading.Event()

        def watch():
            while not stop.is_set():
                now = [p for p in glob.glob(os.path.join(self.s.temp_dir, "LRE*"))
                       if p not in before and os.path.isdir(p)]
                seen.append(len(now))
                time.sleep(0.02)

        watcher = threading.Thread(target=watch)
        watcher.start()
        try:
            # The loop runs until it is stopped; the loop guard does not judge loops around searches.
            with self.assertRaises(harness.TimeLimitExceeded):
                self.s.run(path, ["-nv:silent", "-nv:log", "x"], cwd=d, timeout=6)
        finally:
            stop.set()
            watcher.join()
            for left in set(glob.glob(os.path.join(self.s.temp_dir, "LRE*"))) - before:
                shutil.rmtree(left, ignore_errors=True) if os.path.isdir(left) else os.remove(left)
        self.assertGreater(read_text(os.path.join(d, "x")).count("Finding a JVM"), 10)
        self.assertLessEqual(max(seen), 1, seen)


if __name__ == "__main__":
    unittest.main()
