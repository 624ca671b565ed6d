"""JVM verification end to end: the launcher runs a stand-in Java executable
with the verification class it carries and believes what it prints; the
VERIFY_JVM action answers with one line, the VERIFY instruction sets N1 and
S1. The compiled Verify class itself is run once with the machine's Java."""

import os
import shutil
import subprocess
import time
import unittest

import harness
from launcherfiles import FAILED_RUN, pack, read_text

LAUNCH_SCRIPT = b'DESC: Demo Wizard\nCOMMAND: """@JVM_HOME@\\@JVM_EXE@"" demo.Main"\n'


class VerifyTest(unittest.TestCase):
    def setUp(self):
        self.s = harness.session()
        self.java = self.s.fixture("StandInJava")

    def java_home(self, directory, vendor):
        home = os.path.join(directory, "jdk " + vendor)
        os.makedirs(os.path.join(home, "bin"))
        shutil.copyfile(self.java, os.path.join(home, "bin", "java.exe"))
        with open(os.path.join(home, "bin", "exitcode.txt"), "w") as f:
            f.write("7")
        with open(os.path.join(home, "standin.properties"), "w") as f:
            f.write("java.version=17.0.15\njava.vendor=%s\n" % vendor)
        return home

    def args(self, home):
        with open(os.path.join(home, "bin", "record.txt"), "rb") as f:
            lines = f.read().decode("utf-8").splitlines()
        return [line.split("=", 1)[1] for line in lines if line.startswith("arg")]

    def jvm_file(self, home_win=None):
        return (b"DESC: stand-in\nJVM_EXE: bin\\java.exe\nCLASSPATH: \"-cp \"\nCLASSPATH_SEPARATOR: ;\n"
                + (b"JVM_HOME: " + home_win + b"\n" if home_win else b"")
                + b"JVM_PROPERTIES:\njava.version = 17...\njava.vendor=Debian\n/:\n")

    def test_verify_jvm_action_prints_one_line_for_a_matching_home_or_a_mismatching_one(self):
        d = self.s.scratch("verify-action")
        path = pack(self.s, d, [(5, 4, "verify.jar", b"PK verify")])
        with open(os.path.join(d, "jvm.tag"), "wb") as f:
            f.write(self.jvm_file())
        for vendor, answer in [("Debian", b"1\n"), ("Oracle", b"0\n")]:
            with self.subTest(vendor=vendor):
                home = self.java_home(d, vendor)
                home_win = self.s.windows_path(home)
                with open(os.path.join(d, "in.tag"), "wb") as f:
                    f.write(b"ACTION: VERIFY_JVM\nLOGFILE: x\nVERIFY_JVM_FILE: jvm.tag\nVERIFY_JVM_HOME: "
                            + home_win.encode() + b"\n")
                result = self.s.run(path, ["-nv:silent", "-nv:in", "in.tag"], cwd=d, timeout=60)
                self.assertEqual(result.exit_code, 0)
                self.assertEqual(result.stdout.replace(b"\r\n", b"\n"), answer)
                args = self.args(home)
                # -cp, the extracted archive alone (no empty element that would put the
                # working directory on the class path), the class and the properties asked for.
                self.assertEqual(args[0], "-cp")
                self.assertTrue(args[1].startswith(self.s.windows_path(self.s.temp_dir) + "\\LRE"), args)
                self.assertTrue(args[1].endswith("\\verify.jar") and ";" not in args[1], args)
                self.assertEqual(args[2:], ["Verify", "java.version", "java.vendor"])
                log = read_text(os.path.join(d, "x"))
                if answer == b"1\n":
                    self.assertIn("After VERIFY, the jvm home is " + home_win + "\n", log)
                else:
                    self.assertIn("In VERIFY, the jvm is invalid.\n", log)
        with open(os.path.join(d, "jvm.tag"), "rb") as f:
            self.assertEqual(f.read(), self.jvm_file())  # the file on disk is left alone

    def test_an_input_files_class_path_verifies_quoted_or_not_and_in_a_home_with_hash_and_percent(self):
        d = self.s.scratch("verify-classpath")
        path = pack(self.s, d, [(0, 1, "prog.tag", b"INSTRUCTIONS:\nSET N1 = 1\n/:\n")])
        with open(os.path.join(d, "jvm.tag"), "wb") as f:
            f.write(self.jvm_file())
        home = self.java_home(os.path.join(d, "Java#1 50%"), "Debian")
        for class_path in ["C:\\v\\verify.jar", '"C:\\v 2\\classes\\"']:
            with self.subTest(class_path=class_path):
                record = os.path.join(home, "bin", "record.txt")
                if os.path.exists(record):
                    os.remove(record)
                with open(os.path.join(d, "in.tag"), "wb") as f:
                    f.write(b"ACTION: VERIFY_JVM\nLOGFILE: x\nVERIFY_JVM_FILE: jvm.tag\nVERIFY_JVM_HOME: "
                            + self.s.windows_path(home).encode() + b"\nVERIFY_CLASSPATH: " + class_path.encode()
                            + b"\nVERIFY_CLASS_NAME: Verify\n")
                result = self.s.run(path, ["-nv:silent", "-nv:in", "in.tag"], cwd=d, timeout=60)
                self.assertEqual(result.stdout.replace(b"\r\n", b"\n"), b"1\n", read_text(os.path.join(d, "x")))
                self.assertEqual(self.args(home)[:3], ["-cp", class_path.strip('"'), "Verify"])

    def test_verify_jvm_action_prints_0_for_a_java_exe_that_cannot_start_or_never_ends(self):
        d = self.s.scratch("verify-failing")
        path = pack(self.s, d, [(5, 4, "verify.jar", b"PK verify")])
        with open(os.path.join(d, "jvm.tag"), "wb") as f:
            f.write(self.jvm_file())
        hung = self.java_home(d, "Debian")
        open(os.path.join(hung, "bin", "hang.txt"), "wb").close()
        # The hung stand-in starts a process of its own, which would run on while this file is there.
        open(os.path.join(hung, "bin", "grandchild.txt"), "wb").close()
        self.addCleanup(os.remove, os.path.join(hung, "bin", "grandchild.txt"))
        for name, content in [("text", b"not a program\n"), ("empty", b"")]:
            os.makedirs(os.path.join(d, name, "bin"))
            with open(os.path.join(d, name, "bin", "java.exe"), "wb") as f:
                f.write(content)
        # Wine's text for the start failure has an insert, which names the program.
        for home, reason in [(os.path.join(d, "text"), "CreateProcess failed  ==>  Bad EXE format for %s."),
                             (os.path.join(d, "empty"), "CreateProcess failed  ==>  Bad EXE format for %s."),
                             (hung, "%s did not end within 2 seconds.")]:
            with self.subTest(home=os.path.basename(home)):
                home_win = self.s.windows_path(home)
                with open(os.path.join(d, "in.tag"), "wb") as f:
                    f.write(b"ACTION: VERIFY_JVM\nLOGFILE: x\nVERIFY_JVM_FILE: jvm.tag\nVERIFY_JVM_HOME: "
                            + home_win.encode() + b"\n")
                if os.path.exists(os.path.join(d, "x")):
                    os.remove(os.path.join(d, "x"))
                result = self.s.run(path, ["-nv:silent", "-nv:verifylimit", "2", "-nv:in", "in.tag"], cwd=d,
                                    timeout=60)
                self.assertEqual(result.exit_code, 0)
                self.assertEqual(result.stdout.replace(b"\r\n", b"\n"), b"0\n")
                log = read_text(os.path.join(d, "x"))
                self.assertIn("WARNING: The JVM at %s failed: %s\n" % (home_win, reason % (home_win + "\\bin\\java.exe")),
                              log)
                self.assertIn("In VERIFY, the jvm is invalid.\n", log)
        # The hung stand-in was ended with the run, and so was the process it started: their heartbeats have stopped.
        beats = [os.path.join(hung, "bin", name) for name in ("alive.txt", "grandchild-alive.txt")]
        sizes = [os.path.getsize(beat) for beat in beats]
        time.sleep(0.5)
        self.assertEqual([os.path.getsize(beat) for beat in beats], sizes)

    def test_a_verification_ends_with_its_java_though_a_process_that_java_started_holds_the_output(self):
        d = self.s.scratch("verify-grandchild")
        path = pack(self.s, d, [(5, 4, "verify.jar", b"PK verify")])
        with open(os.path.join(d, "jvm.tag"), "wb") as f:
            f.write(self.jvm_file())
        home = self.java_home(d, "Debian")
        bin_dir = os.path.join(home, "bin")
        # The stand-in's grandchild writes to the inherited output every 100 ms while this file is there.
        open(os.path.join(bin_dir, "grandchild.txt"), "wb").close()
        self.addCleanup(os.remove, os.path.join(bin_dir, "grandchild.txt"))
        with open(os.path.join(d, "in.tag"), "wb") as f:
            f.write(b"ACTION: VERIFY_JVM\nLOGFILE: x\nVERIFY_JVM_FILE: jvm.tag\nVERIFY_JVM_HOME: "
                    + self.s.windows_path(home).encode() + b"\n")
        result = self.s.run(path, ["-nv:silent", "-nv:in", "in.tag"], cwd=d, timeout=60)
        self.assertEqual(result.exit_code, 0)
        self.assertEqual(result.stdout.replace(b"\r\n", b"\n"), b"1\n")
        # The run is over while the grandchild lives on, and the launcher's end of the pipe was the
        # only one to read from: the grandchild's next write finds the pipe broken.
        broken = os.path.join(bin_dir, "grandchild-pipe.txt")
        deadline = time.monotonic() + 20
        while not os.path.exists(broken) and time.monotonic() < deadline:
            time.sleep(0.1)
        self.assertTrue(os.path.exists(broken), "the grandchild still writes into the pipe")

    def test_verify_instruction_sets_the_variables_and_refuses_wrong_ids(self):
        d = self.s.scratch("verify-instruction")
        good = self.java_home(d, "Debian")
        bad = self.java_home(d, "Oracle")
        good_win = self.s.windows_path(good)
        # A valid JVM goes on to ILAUNCH with the JVM file whose JVM_HOME VERIFY set;
        # the stand-in's exit code 7 then becomes the run's.
        program = (b"INSTRUCTIONS:\nVERIFY 0 0 2\nJMP0 @N1@ INVALID\nILAUNCH 2 0\n:INVALID\n/:\n")
        entries = [(0, 1, "prog.tag", program), (1, 2, "jvm.tag", self.jvm_file(good_win.encode())),
                   (2, 3, "launch.tag", LAUNCH_SCRIPT), (5, 4, "verify.jar", b"PK verify")]
        path = pack(self.s, d, entries)
        for name, extra, exit_code in [("stated home", [], 7),
                                       ("-nv:javahome", ["-nv:javahome", self.s.windows_path(bad)], 0)]:
            with self.subTest(name):
                log = os.path.join(d, name + ".log")
                result = self.s.run(path, ["-nv:silent", "-nv:log", log] + extra, cwd=d, timeout=60)
                self.assertEqual(result.exit_code, exit_code)
                if exit_code == 7:
                    self.assertIn("After VERIFY, the jvm home is " + good_win + "\n", read_text(log))
                    self.assertEqual(self.args(good)[-1], "demo.Main")
                else:
                    self.assertIn("In VERIFY, the jvm is invalid.\n", read_text(log))
        for verify, message in [
                (b"VERIFY 0 0 9", "Cannot verify jvm file at index 9 because it does not exist."),
                (b"VERIFY 0 0 3", "To verify a JVM, use an index of a jvm file. The index passed in was 3 which "
                                  "corresponds to the file named launch.tag")]:
            with self.subTest(verify=verify):
                path = pack(self.s, d, [(0, 1, "prog.tag", b"INSTRUCTIONS:\n" + verify + b"\n/:\n")] + entries[1:],
                            check=False)
                result = self.s.run(path, ["-nv:silent", "-nv:log", "e.log"], cwd=d, timeout=60)
                self.assertEqual(result.exit_code, FAILED_RUN)
                self.assertIn("ERROR: " + message + "\n", read_text(os.path.join(d, "e.log")))

    def test_compiled_verify_class_prints_the_protocol(self):
        jar = os.path.join(harness.REPO_ROOT, "build", "host", "verify.jar")
        java = shutil.which("java")
        if not java or not os.path.exists(jar):
            self.skipTest("no java or no build/host/verify.jar")
        out = subprocess.run([java, "-Dnv.set=a=b", "-cp", jar, "Verify", "nv.set", "nv.not.set"],
                             capture_output=True, timeout=60, check=True).stdout
        self.assertEqual(out.decode().splitlines(), ["1739021872", "a=b", "null"])


if __name__ == "__main__":
    unittest.main()
