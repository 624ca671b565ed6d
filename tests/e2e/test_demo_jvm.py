"""The demo wizard on this machine's own JDK: the launcher's own instruction
program installs a carried JVM whose bin\\java.exe is the Java bridge, and the
launch runs the real java through it, with the class path archive the launcher
file carries."""

import glob
import os
import re
import shutil
import subprocess
import unittest

import harness
from launcherfiles import pack, read_text

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
WIZARD_SOURCE = os.path.join(ROOT, "examples", "demo", "java", "DemoWizard.java")
OWN_PROGRAM = (b"INSTRUCTIONS:\nINITIALIZE_UI\nINSTALL_JVM 1\nJMP0 @N1@ DO_INSTALL_ELSE\nLAUNCH @S1@ 0\n"
               b"GOTO DO_INSTALL_DONE\n:DO_INSTALL_ELSE\n:DO_INSTALL_DONE\n/:\n")
with open(os.path.join(ROOT, "examples", "demo", "launchscript.tag"), "rb") as _f:
    LAUNCH_SCRIPT = _f.read()


class DemoJvmTest(unittest.TestCase):
    def setUp(self):
        missing = [tool for tool in ("java", "javac", "jar") if not shutil.which(tool)]
        if missing:
            self.skipTest("no %s on this machine's PATH: the real JVM cannot run" % ", ".join(missing))
        self.s = harness.session()
        self.installer = self.s.fixture("JvmInstaller")
        self.bridge = self.s.fixture("JavaBridge")

    def compile_wizard(self, directory):
        classes = os.path.join(directory, "classes")
        jar = os.path.join(directory, "wizard.jar")
        subprocess.run(["javac", "--release", "8", "-d", classes, WIZARD_SOURCE], check=True, timeout=120)
        subprocess.run(["jar", "cf", jar, "-C", classes, "."], check=True, timeout=60)
        with open(jar, "rb") as f:
            return f.read()

    def temp_entries(self):
        return set(glob.glob(os.path.join(self.s.temp_dir, "*")))

    def test_the_wizard_runs_on_the_real_jvm_through_the_bridge(self):
        d = self.s.scratch("demo-jvm")
        build = os.path.join(d, "wizard")
        os.makedirs(build)
        with open(self.installer, "rb") as f:
            installer = f.read()
        # The wizard's classes reach java only as the carried class path archive:
        # no demo.jar lies in the launcher's directory.
        path = pack(self.s, d, [(0, 1, "prog.tag", OWN_PROGRAM), (2, 2, "launch.tag", LAUNCH_SCRIPT),
                                (3, 3, "demo.jar", self.compile_wizard(build)), (4, 4, "jvmsetup.exe", installer)],
                    mode=2)
        before = self.temp_entries()
        env = {"NV_STANDIN_JAVA": self.s.windows_path(self.bridge)}
        result = self.s.run(path, ["-nv:silent", "-nv:log", "run.log"], cwd=d, env=env, timeout=120)
        log = read_text(os.path.join(d, "run.log"))
        self.assertEqual(result.exit_code, 0, log)

        command = re.search(r"Executing launch script command: (.*)", log)
        self.assertIsNotNone(command, log)
        self.assertRegex(command.group(1), r'^"[^"]*\\LRE[^"]*\\jre\\bin\\java\.exe" -cp ')
        self.assertIn(" -Dtemp.dir=", command.group(1))
        self.assertIn(" demo.DemoWizard run", command.group(1))

        output = log[log.index("Output from the launch script execution"):]
        temp = os.path.realpath(self.s.temp_dir)
        wizard = re.search(r"Norvane demo wizard running on Java (\S+) with temp\.dir=(.*)", output)
        self.assertIsNotNone(wizard, log)
        self.assertRegex(wizard.group(1), r"^\d")
        # The launcher's Windows temporary directory, as the Linux path the bridge made of it.
        self.assertTrue(wizard.group(2).startswith(temp), wizard.group(2))
        self.assertIn("arguments: run\n", output)
        class_path = re.search(r"class path: (.*)", output).group(1).split(":")
        extracted = [element for element in class_path if element.startswith(temp + "/LRE")]
        self.assertEqual(len(extracted), 1, class_path)
        self.assertTrue(extracted[0].endswith("/demo.jar"), extracted)
        # The error stream is relayed apart from the output.
        self.assertIn("demo wizard: done", output[output.index("ErrOut:"):])

        # Neither the installed JVM, the extracted archive nor the bridge's files outlive the run.
        self.assertTrue(harness.wait_for(lambda: self.temp_entries() == before, timeout=10),
                        self.temp_entries() - before)


if __name__ == "__main__":
    unittest.main()
