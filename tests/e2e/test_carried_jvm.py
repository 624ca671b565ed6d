"""The carried JVM and the embedded launcher end to end: the launcher's own
instruction program installs its JVM with the installer double and launches
the stand-in Java with it; the INSTALL_JVM action; a broken installer; and
EXECUTE_LAUNCHER starting the embedded launcher with this run's arguments."""

import glob
import os
import unittest

import harness
from launcherfiles import FAILED_RUN, pack, read_text

OWN_PROGRAM = (b"INSTRUCTIONS:\nINITIALIZE_UI\nINSTALL_JVM 1\nJMP0 @N1@ DO_INSTALL_ELSE\nLAUNCH @S1@ 0\n"
               b"GOTO DO_INSTALL_DONE\n:DO_INSTALL_ELSE\n:DO_INSTALL_DONE\n/:\n")
LAUNCH_SCRIPT = b'DESC: Demo Wizard\nCOMMAND: """@JVM_HOME@\\@JVM_EXE@"" %CP%(""""""setup.jar"""""") run"\n'


class CarriedJvmTest(unittest.TestCase):
    def setUp(self):
        self.s = harness.session()
        self.installer = self.s.fixture("JvmInstaller")
        with open(self.installer, "rb") as f:
            self.installer_bytes = f.read()
        self.env = {"NV_STANDIN_JAVA": self.s.windows_path(self.s.fixture("StandInJava"))}

    def temp_entries(self):
        return set(glob.glob(os.path.join(self.s.temp_dir, "LRE*")))

    def test_the_launchers_own_program_installs_and_launches(self):
        d = self.s.scratch("own-program")
        record = os.path.join(d, "record.txt")
        path = pack(self.s, d, [(0, 1, "prog.tag", OWN_PROGRAM), (2, 2, "launch.tag", LAUNCH_SCRIPT),
                                (4, 3, "jvmsetup.exe", self.installer_bytes)], mode=0)
        before = self.temp_entries()
        env = dict(self.env, NV_STANDIN_RECORD=self.s.windows_path(record))
        result = self.s.run(path, ["-nv:silent", "-nv:log", "x"], cwd=d, env=env, timeout=60)
        self.assertEqual(result.exit_code, 0)
        with open(record, "rb") as f:
            lines = f.read().decode("utf-8").splitlines()
        java_home = [line for line in lines if line.startswith("JAVA_HOME=")][0].split("=", 1)[1]
        self.assertTrue(java_home.startswith(self.s.windows_path(self.s.temp_dir) + "\\LRE"), java_home)
        self.assertIn("arg1=-cp", lines)
        self.assertIn("arg3=run", lines)
        # The installed JVM lived in a temporary directory, gone with everything else.
        self.assertEqual(self.temp_entries(), before)

    def test_a_broken_installer_leaves_the_program_going(self):
        d = self.s.scratch("broken-installer")
        path = pack(self.s, d, [(0, 1, "prog.tag", OWN_PROGRAM), (2, 2, "launch.tag", LAUNCH_SCRIPT),
                                (4, 3, "jvmsetup.exe", self.installer_bytes)])
        env = dict(self.env, NV_INSTALLER_NO_JVM="1")
        result = self.s.run(path, ["-nv:silent", "-nv:log", "x"], cwd=d, env=env, timeout=60)
        self.assertEqual(result.exit_code, 0)  # JMP0 skipped the launch
        self.assertIn("ERROR: Invalid bundled JVM. Missing 'jvm' file.\n", read_text(os.path.join(d, "x")))

    def test_the_install_action_writes_one_line_and_keeps_the_jvm(self):
        d = self.s.scratch("install-action")
        dest = os.path.join(d, "dest")
        os.makedirs(dest)
        with open(os.path.join(d, "in.tag"), "w") as f:
            f.write("ACTION: INSTALL_JVM\nINSTALL_JVM_EXE: %s\nINSTALL_JVM_DEST: %s\n"
                    % (self.s.windows_path(self.installer), self.s.windows_path(dest)))
        result = self.s.run(self.s.launcher, ["-nv:silent", "-nv:in", "in.tag"], cwd=d, env=self.env, timeout=60)
        self.assertEqual(result.exit_code, 0)
        jvm = self.s.windows_path(dest) + "\\jvm"
        self.assertEqual(result.text, jvm + "\n")
        text = read_text(os.path.join(dest, "jvm"))
        self.assertIn("JVM_HOME:  " + self.s.windows_path(dest) + "\n", text)
        self.assertIn("JVM_FILE:  " + jvm + "\n", text)
        self.assertIn("JVM_TEMP:  0\n", text)

    def test_no_carried_jvm_is_message_code_9(self):
        d = self.s.scratch("no-carried-jvm")
        path = pack(self.s, d, [(0, 1, "prog.tag", b"INSTRUCTIONS:\nINSTALL_JVM 0\n/:\n")],
                    check=False)
        result = self.s.run(path, ["-nv:silent", "-nv:log", "x"], cwd=d, timeout=30)
        self.assertEqual(result.exit_code, FAILED_RUN)
        self.assertIn("ERROR: No JVM installer was included in the launcher.\n", read_text(os.path.join(d, "x")))

    def test_execute_launcher_starts_the_embedded_one_with_this_runs_arguments(self):
        d = self.s.scratch("execute-launcher")
        inner_dir = os.path.join(d, "inner")
        os.makedirs(inner_dir)
        inner = pack(self.s, inner_dir, [(0, 1, "prog.tag", b"INSTRUCTIONS:\nGOTO INNER_RAN_WITH_@S1@\n/:\n")])
        with open(inner, "rb") as f:
            inner_bytes = f.read()
        outer = pack(self.s, d, [(0, 1, "prog.tag", b"INSTRUCTIONS:\nEXECUTE_LAUNCHER 0\nEXECUTE_LAUNCHER 1\n/:\n"),
                                 (7, 2, "inner.exe", inner_bytes)], check=False)  # position 0 holds no launcher
        log = os.path.join(d, "shared.log")
        # The embedded launcher's directory is handed on to it and outlives the run by design.
        result = self.s.run(outer, ["-nv:silent", "-nv:log", self.s.windows_path(log), 'x"y'], cwd=d, timeout=30,
                            keeps_temp=True)
        self.assertEqual(result.exit_code, 0)
        self.assertTrue(harness.wait_for(lambda: os.path.exists(log) and "INNER_RAN_WITH_" in read_text(log),
                                         timeout=30), read_text(log) if os.path.exists(log) else "no log")
        text = read_text(log)
        self.assertIn("ERROR: Unable to execute the embedded launcher.\n", text)  # position 0 is the program
        self.assertIn("Label not found (INNER_RAN_WITH_@S1@)", text)


if __name__ == "__main__":
    unittest.main()
