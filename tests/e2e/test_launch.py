"""LAUNCH end to end: the launcher starts a stand-in Java executable of ours
with exactly the command its launch script describes, in the launcher's
directory, with JAVA_HOME and (in modes 0 and 2) the wizard environment, logs
what it wrote, ends with its exit code, and leaves no temporary file."""

import glob
import os
import shutil
import unittest

import harness
from launcherfiles import pack, read_text

LAUNCH_SCRIPT = (b'DESC: Demo Wizard\nAUTO_SET_WORKING_DIR: 1\n'
                 b'COMMAND: """@JVM_HOME@\\@JVM_EXE@"" %CP%(""""""setup.jar"""""") '
                 b'%SYSTEMPROP%(""nv.media.home"", """"""%APPLICATION_ARCHIVE%()"""""") '
                 b'%IF_EXISTS%(""MAX_JAVA_HEAP"", ""@MAX_JAVA_HEAP@60m"") '
                 b'%IF_EXISTS%(""NOT_THERE"", ""-Dnever"") demo.Main"\n')
PASSED_ON = ["C:\\My Dir\\", 'a"b', "plain words"]


class LaunchTest(unittest.TestCase):
    def setUp(self):
        self.s = harness.session()
        self.java = self.s.fixture("StandInJava")
        if not os.path.exists(self.java):
            self.skipTest("StandInJava is not built in %s" % self.s.build_dir)

    def java_home(self, directory, exit_code):
        home = os.path.join(directory, "jdk")
        os.makedirs(os.path.join(home, "bin"))
        shutil.copyfile(self.java, os.path.join(home, "bin", "java.exe"))
        with open(os.path.join(home, "bin", "exitcode.txt"), "w") as f:
            f.write(str(exit_code))
        return home

    def record(self, home):
        with open(os.path.join(home, "bin", "record.txt"), "rb") as f:
            lines = f.read().decode("utf-8").splitlines()
        return dict(line.split("=", 1) if "=" in line else (line, None) for line in lines), lines

    def test_launch_runs_the_exact_command_and_cleans_up(self):
        temp_before = set(glob.glob(os.path.join(self.s.temp_dir, "LRE*")))
        for mode, wizard in [(0, "yes"), (1, None), (2, "yes")]:
            with self.subTest(mode=mode):
                d = self.s.scratch("launch-%d" % mode)
                home = self.java_home(d, 7)
                home_win = self.s.windows_path(home) + "\\"
                jvm = os.path.join(d, "jvm.tag")
                with open(jvm, "wb") as f:
                    f.write(b"DESC: stand-in\nJVM_HOME: " + home_win.encode() + b"\nJVM_EXE: bin\\java.exe\n"
                            b'CLASSPATH: "-cp "\nCLASSPATH_SEPARATOR: ;\nSYSTEM: -D\nSYSTEM_SEPARATOR: =\n'
                            b"MAX_JAVA_HEAP: -Xmx\nSET_ENV_FOR_WIZARD: NV_WIZARD = yes \n")
                program = b'INSTRUCTIONS:\nLAUNCH "' + self.s.windows_path(jvm).encode() + b'" 0\n/:\n'
                path = pack(self.s, d, [(0, 1, "prog.tag", program), (2, 2, "launch.tag", LAUNCH_SCRIPT),
                                        (3, 3, "lib.jar", b"PK lib"), (6, 4, "app.zip", b"PK app")], mode=mode)
                run_dir = os.path.join(d, "elsewhere")
                os.makedirs(run_dir)
                result = self.s.run(path, ["-nv:silent", "-nv:log", "x"] + PASSED_ON, cwd=run_dir, timeout=60)
                self.assertEqual(result.exit_code, 7)  # the Java program's exit code is the run's
                seen, lines = self.record(home)
                args = [line.split("=", 1)[1] for line in lines if line.startswith("arg")]
                self.assertEqual(len(args), 8, lines)
                self.assertEqual(args[0], "-cp")
                temp_win = self.s.windows_path(self.s.temp_dir)
                classpath = args[1].split(";")
                self.assertEqual(classpath[:2], ["", "setup.jar"])
                self.assertTrue(classpath[2].startswith(temp_win + "\\LRE") and classpath[2].endswith("\\lib.jar"),
                                classpath)
                self.assertEqual(classpath[3:], [""])
                self.assertTrue(args[2].startswith("-Dnv.media.home=" + temp_win + "\\LRE"), args[2])
                self.assertTrue(args[2].endswith("\\app.zip"), args[2])
                self.assertEqual(args[3:], ["-Xmx60m", "demo.Main"] + PASSED_ON)
                self.assertEqual(seen["cwd"], self.s.windows_path(d))
                self.assertEqual(seen["JAVA_HOME"], home_win)
                self.assertEqual(seen.get("NV_WIZARD"), wizard)
                # The program's own line ends reach the log as it wrote them.
                log = read_text(os.path.join(run_dir, "x")).replace("\r", "")
                self.assertIn("Executing launch script command: \"" + home_win + "bin\\java.exe\" -cp ", log)
                self.assertIn(" in working directory " + self.s.windows_path(d) + "\n", log)
                self.assertIn("Output from the launch script execution\nStdOut:\nstand-in java says hello\n"
                              "\nErrOut:\nstand-in java complains\n", log)
                self.assertEqual(set(glob.glob(os.path.join(self.s.temp_dir, "LRE*"))), temp_before)

    def test_ilaunch_without_its_jvm_file_says_so(self):
        d = self.s.scratch("ilaunch")
        path = pack(self.s, d, [(0, 1, "prog.tag", b"INSTRUCTIONS:\nILAUNCH 9 0\n/:\n"),
                                (2, 2, "launch.tag", LAUNCH_SCRIPT)], check=False)
        result = self.s.run(path, ["-nv:silent", "-nv:log", "x"], cwd=d, timeout=30)
        self.assertEqual(result.exit_code, 255)  # the program's result is -1
        self.assertIn("ERROR: Unable to launch the internal launch script with the internal JVM file. Either the "
                      "launch script or the JVM file is missing from the launcher.\n", read_text(os.path.join(d, "x")))


if __name__ == "__main__":
    unittest.main()
