"""LAUNCH end to end: the launcher starts a stand-in Java executable of ours
with exactly the command its launch script describes, in the launcher's
directory, with JAVA_HOME and (in modes 0 and 2) the wizard environment, logs
what it wrote, ends with its exit code, and leaves no temporary file."""

import glob
import os
import re
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
                # No empty element: Java would read it as the working directory.
                self.assertEqual(len(classpath), 2, classpath)
                self.assertEqual(classpath[0], "setup.jar")
                self.assertTrue(classpath[1].startswith(temp_win + "\\LRE") and classpath[1].endswith("\\lib.jar"),
                                classpath)
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

    def test_paths_with_hash_percent_at_and_final_backslashes_reach_java_as_they_stand(self):
        # Every path here is one the launcher makes, finds or is given; none of them
        # is a reference, whatever it holds. The temporary directory of the second
        # case ends in two backslashes, the class path additions in one.
        script = (b'COMMAND: """@JVM_HOME@\\@JVM_EXE@"" %CP%(""""""setup.jar"""""") '
                  + b" ".join(b'%%SYSTEMPROP%%(""%s"", """"""%s"""""")' % pair for pair in [
                      (b"temp.dir", b"%TEMP_DIR%()"), (b"nv.jvm.home", b"@JVM_HOME@"),
                      (b"nv.media.home", b"%APPLICATION_ARCHIVE%()"), (b"nv.launcher.file", b"%LAUNCHER_FILE%()"),
                      (b"nv.jvm.file", b"@JVM_FILE@"), (b"nv.external.home", b"%LAUNCHER_DIR%()")])
                  + b' demo.Main"\n')
        for folder, temp, home_folder in [("50% off", "Temp#1", "J#1"), ("a@b", "Temp%1\\", "jdk 50%"),
                                          ("Tools#2 x", "Temp@corp", "x@y")]:
            with self.subTest(folder=folder):
                d = self.s.scratch("literal-%d" % len(folder))
                launcher_dir = os.path.join(d, folder)
                os.makedirs(launcher_dir)
                temp_dir = os.path.join(d, temp.rstrip("\\"))
                os.makedirs(temp_dir)
                home = self.java_home(os.path.join(d, home_folder), 0)
                home_win = self.s.windows_path(home)
                jvm = os.path.join(d, "jvm.tag")
                with open(jvm, "wb") as f:
                    f.write(b"JVM_HOME: " + home_win.encode() + b"\nJVM_EXE: bin\\java.exe\n"
                            b'CLASSPATH: "-cp "\nCLASSPATH_SEPARATOR: ;\nSYSTEM: -D\nSYSTEM_SEPARATOR: =\n'
                            b"JVM_FILE: " + self.s.windows_path(os.path.join(d, folder, "LRE#1.tmp")).encode() + b"\n")
                program = b'INSTRUCTIONS:\nLAUNCH "' + self.s.windows_path(jvm).encode() + b'" 0\n/:\n'
                path = pack(self.s, launcher_dir, [(0, 1, "prog.tag", program), (2, 2, "launch.tag", script),
                                                   (6, 4, "app.zip", b"PK app")])
                temp_win = self.s.windows_path(temp_dir)
                result = self.s.run(path, ["-nv:silent", "-nv:log", "x", "-nv:tempdir", temp_win + temp[len(temp.rstrip("\\")):],
                                           "-cp:p", "C:\\classes\\", "-cp:a", "C:\\classes\\", "after"],
                                    cwd=d, timeout=60)
                self.assertEqual(result.exit_code, 0, read_text(os.path.join(d, "x")))
                args = [line.split("=", 1)[1] for line in self.record(home)[1] if line.startswith("arg")]
                self.assertEqual(len(args), 10, args)
                self.assertEqual(args[0], "-cp")
                self.assertEqual(args[1], "C:\\classes\\;setup.jar;C:\\classes\\")
                self.assertEqual(args[2], "-Dtemp.dir=" + temp_win)
                self.assertEqual(args[3], "-Dnv.jvm.home=" + home_win)
                self.assertTrue(re.fullmatch(re.escape("-Dnv.media.home=" + temp_win) + r"\\LRE[^\\]+\\app\.zip",
                                             args[4]), args[4])
                self.assertEqual(args[5], "-Dnv.launcher.file=" + self.s.windows_path(path))
                self.assertEqual(args[6], "-Dnv.jvm.file=" + self.s.windows_path(os.path.join(d, folder, "LRE#1.tmp")))
                self.assertEqual(args[7], "-Dnv.external.home=" + self.s.windows_path(launcher_dir))
                self.assertEqual(args[8:], ["demo.Main", "after"])
                self.assertEqual(os.listdir(temp_dir), [])

    def test_environment_values_reach_java_as_they_stand(self):
        # User and folder names hold "#", "%" and "@"; an environment value is
        # no reference, and one ending in a backslash still closes its quotes.
        values = {"NVA": "a#b", "NVB": "50%", "NVC": "x@y", "NVD": "C:\\Users\\a#b", "NVE": "a##b", "NVF": "C:\\dir\\"}
        script = (b'COMMAND: """@JVM_HOME@\\@JVM_EXE@"" '
                  + b" ".join(b'-D%s=""#%s#""' % (name.lower().encode(), name.encode()) for name in values)
                  + b' demo.Main"\n')
        d = self.s.scratch("environment-values")
        home = self.java_home(d, 0)
        jvm = os.path.join(d, "jvm.tag")
        with open(jvm, "wb") as f:
            f.write(b"JVM_HOME: " + self.s.windows_path(home).encode() + b"\nJVM_EXE: bin\\java.exe\n")
        program = b'INSTRUCTIONS:\nLAUNCH "' + self.s.windows_path(jvm).encode() + b'" 0\n/:\n'
        path = pack(self.s, d, [(0, 1, "prog.tag", program), (2, 2, "launch.tag", script)])
        result = self.s.run(path, ["-nv:silent", "-nv:log", "x"], env=values, cwd=d, timeout=60)
        self.assertEqual(result.exit_code, 0, read_text(os.path.join(d, "x")))
        args = [line.split("=", 1)[1] for line in self.record(home)[1] if line.startswith("arg")]
        self.assertEqual(args, ["-D%s=%s" % (name.lower(), value) for name, value in values.items()] + ["demo.Main"])

    def test_ilaunch_without_its_jvm_file_says_so(self):
        d = self.s.scratch("ilaunch")
        path = pack(self.s, d, [(0, 1, "prog.tag", b"INSTRUCTIONS:\nILAUNCH 9 0\n/:\n"),
                                (2, 2, "launch.tag", LAUNCH_SCRIPT)], check=False)
        result = self.s.run(path, ["-nv:silent", "-nv:log", "x"], cwd=d, timeout=30)
        self.assertEqual(result.exit_code, 255)  # the program's result is -1
        self.assertIn("ERROR: Unable to launch the internal launch script with the internal JVM file. Either the "
                      "launch script or the JVM file is missing from the launcher.\n", read_text(os.path.join(d, "x")))

    def test_a_java_exe_that_cannot_start_ends_the_launch_with_the_systems_text(self):
        # Unlike a verification, the launch of the program itself has nothing to go on to.
        d = self.s.scratch("launch-unstartable")
        home = os.path.join(d, "jdk")
        os.makedirs(os.path.join(home, "bin"))
        with open(os.path.join(home, "bin", "java.exe"), "wb") as f:
            f.write(b"not a program\n")
        home_win = self.s.windows_path(home)
        jvm = os.path.join(d, "jvm.tag")
        with open(jvm, "wb") as f:
            f.write(b"JVM_HOME: " + home_win.encode() + b"\nJVM_EXE: bin\\java.exe\n")
        program = b'INSTRUCTIONS:\nLAUNCH "' + self.s.windows_path(jvm).encode() + b'" 0\n/:\n'
        path = pack(self.s, d, [(0, 1, "prog.tag", program), (2, 2, "launch.tag", b'COMMAND: """@JVM_HOME@\\@JVM_EXE@"" demo.Main"\n')])
        result = self.s.run(path, ["-nv:silent", "-nv:log", "x"], cwd=d, timeout=30)
        self.assertEqual(result.exit_code, 255)
        self.assertIn("ERROR: CreateProcess failed  ==>  Bad EXE format for " + home_win + "\\bin\\java.exe.\n",
                      read_text(os.path.join(d, "x")))


if __name__ == "__main__":
    unittest.main()
