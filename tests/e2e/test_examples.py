"""The author's examples (examples/, quoted by docs/guide.md) packed and run
under Wine as an author would use them:
- ship-my-jar: its build.sh makes the carried JVM with nvjvm (a runtime
  around the Java bridge), the jar, the branded setup.exe and its signature;
  the signed launcher installs the runtime and runs the jar on this
  machine's java;
- find-or-install: its manifest packed with the stand-in Java's homes found
  through the registry hint and a path hint, a wrong version refused, the
  carried JVM (the installer double) installed when nothing passes, and the
  author's message and exit code when even that fails;
- input-file-api: its batch file, through Wine's cmd, verifying the runtime
  it installed before, finding one with SEARCH_ALL, installing the carried
  one, and reporting a failed action by its exit code."""

import os
import re
import shutil
import subprocess
import unittest

import harness
from launcherfiles import read_text

ROOT = harness.REPO_ROOT
EXAMPLES = os.path.join(ROOT, "examples")
VERSION_17 = "17.0.9"


def copy_example(name, directory):
    for entry in os.listdir(os.path.join(EXAMPLES, name)):
        source = os.path.join(EXAMPLES, name, entry)
        if os.path.isfile(source):
            shutil.copyfile(source, os.path.join(directory, entry))


def write(path, data):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)


def java_home(session, home, version):
    """A Java home whose bin\\java.exe is the stand-in, answering the verification with this java.version."""
    os.makedirs(os.path.join(home, "bin"), exist_ok=True)
    shutil.copyfile(session.fixture("StandInJava"), os.path.join(home, "bin", "java.exe"))
    write(os.path.join(home, "standin.properties"), ("java.version=%s\n" % version).encode())
    return home


def make_carried_jvm(session, directory, java, version, out):
    """A carried JVM made by nvjvm from a runtime folder whose bin\\java.exe is `java`."""
    runtime = os.path.join(directory, "runtime-folder")
    os.makedirs(os.path.join(runtime, "bin"))
    shutil.copyfile(java, os.path.join(runtime, "bin", "java.exe"))
    write(os.path.join(runtime, "release"), ('JAVA_VERSION="%s"\n' % version).encode())
    write(os.path.join(runtime, "standin.properties"), ("java.version=%s\n" % version).encode())
    nvjvm = os.path.join(os.path.dirname(session.nvpack), "nvjvm")
    result = session.run_host([nvjvm, "--runtime", runtime, "--unpacker",
                               session.built(os.path.join(session.build_dir, "JvmUnpacker.exe")), "--out", out])
    if result.returncode != 0:
        raise AssertionError("nvjvm failed: %r" % result.stderr)
    return runtime


def nvpack_manifest(session, manifest):
    result = session.run_host([session.nvpack, "--stub", session.launcher, "--manifest", manifest])
    if result.returncode != 0:
        raise AssertionError("nvpack failed: %r" % result.stderr)
    return result


def recorded(path):
    """The stand-in Java's record of its run: {JAVA_HOME: ..., arg1: ..., ...}."""
    with open(path, "rb") as f:
        lines = f.read().decode("utf-8").splitlines()
    return dict(line.split("=", 1) for line in lines if "=" in line)


class ShipMyJarTest(unittest.TestCase):
    def test_the_build_script_makes_a_signed_setup_that_runs_the_jar(self):
        missing = [tool for tool in ("java", "javac", "jar", "openssl", "osslsigncode") if not shutil.which(tool)]
        if missing:
            self.skipTest("no %s on this machine's PATH" % ", ".join(missing))
        s = harness.session()
        d = s.scratch("example-ship-my-jar")
        settings = subprocess.run(["java", "-XshowSettings:properties", "-version"], capture_output=True,
                                  timeout=60).stderr.decode()
        version = re.search(r"^\s*java\.version = (\S+)$", settings, re.M).group(1)
        # A Windows runtime folder around the bridge: the jar runs on this machine's java.
        runtime = os.path.join(d, "jdk-win")
        os.makedirs(os.path.join(runtime, "bin"))
        shutil.copyfile(s.fixture("JavaBridge"), os.path.join(runtime, "bin", "java.exe"))
        write(os.path.join(runtime, "release"), ('JAVA_VERSION="%s"\n' % version).encode())
        key, cert = os.path.join(d, "key.pem"), os.path.join(d, "cert.pem")
        self.assertEqual(s.run_host(["openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "2",
                                     "-subj", "/CN=Test signer", "-addext", "extendedKeyUsage=codeSigning",
                                     "-keyout", key, "-out", cert]).returncode, 0)
        out = os.path.join(d, "out")
        env = dict(os.environ, RUNTIME=runtime, CERT=cert, KEY=key, OUT=out, STUBS=s.build_dir,
                   TOOLS=os.path.dirname(s.nvpack))
        built = subprocess.run(["bash", "examples/ship-my-jar/build.sh"], cwd=ROOT, env=env, capture_output=True,
                               stdin=subprocess.DEVNULL, timeout=300)
        report = built.stdout.decode("utf-8", "replace")
        self.assertEqual(built.returncode, 0, (report, built.stderr.decode("utf-8", "replace")))
        for line in ('branding: ProductName "Hello App"', "branding: execution level asInvoker",
                     'entry: type 6, id 4, name "app.jar"', "written to " + os.path.join(out, "setup.exe")):
            self.assertIn(line, report)

        signed = os.path.join(out, "setup-signed.exe")
        verified = s.run_host(["osslsigncode", "verify", "-CAfile", cert, "-in", signed])
        self.assertEqual(verified.returncode, 0, verified.stdout)

        result = s.run(signed, ["-nv:silent", "-nv:log", "run.log", "extra"], cwd=out, timeout=180)
        log = read_text(os.path.join(out, "run.log"))
        self.assertEqual(result.exit_code, 0, log)
        self.assertIn('-Dhello.launcher="%s" -jar "' % s.windows_path(signed), log)
        # The bridge hands java the launcher's path as the Linux path it is.
        self.assertIn("Hello App on Java %s, started by %s\n" % (version, os.path.realpath(signed)), log)
        self.assertIn("arguments: welcome extra\n", log)


class FindOrInstallTest(unittest.TestCase):
    KEY = r"HKLM\SOFTWARE\Example Software\Java Runtime\17"

    @classmethod
    def setUpClass(cls):
        cls.s = harness.session()
        cls.d = cls.s.scratch("example-find-or-install")
        copy_example("find-or-install", cls.d)
        write(os.path.join(cls.d, "app.jar"), b"PK\x05\x06" + b"\0" * 18)
        write(os.path.join(cls.d, "verify.jar"), b"PK\x05\x06" + b"\0" * 18)
        # The carried JVM: the installer double, which lays out the stand-in Java.
        shutil.copyfile(cls.s.fixture("JvmInstaller"), os.path.join(cls.d, "jvmsetup.exe"))
        cls.report = nvpack_manifest(cls.s, os.path.join(cls.d, "find-or-install.nvpack")).stdout.decode()
        cls.setup = os.path.join(cls.d, "setup.exe")
        cls.homes = os.path.join(cls.s.scratch("example-find-or-install-homes"))
        cls.java11 = java_home(cls.s, os.path.join(cls.homes, "jdk-11"), "11.0.21")
        cls.java17 = java_home(cls.s, os.path.join(cls.homes, "jdk-17"), "17.0.2")
        cls.program_files = os.path.join(cls.s.drive_c, "Program Files", "Java", "jdk-17")

    def tearDown(self):
        self.s.reg_delete(self.KEY, view=self.s.launcher_view)
        shutil.rmtree(self.program_files, ignore_errors=True)
        shutil.rmtree(os.path.join(self.d, "jre"), ignore_errors=True)

    def run_setup(self, registered=None, env=None, silent=True, watch=False, exit_code=0):
        if registered:
            self.s.reg_add(self.KEY, "JavaHome", self.s.windows_path(registered), view=self.s.launcher_view)
        record = os.path.join(self.d, "record.txt")
        for old in (record, os.path.join(self.d, "run.log")):
            if os.path.exists(old):
                os.remove(old)
        env = dict(env or {}, NV_STANDIN_RECORD=self.s.windows_path(record),
                   NV_STANDIN_JAVA=self.s.windows_path(self.s.fixture("StandInJava")))
        result = self.s.run(self.setup, (["-nv:silent"] if silent else []) + ["-nv:log", "run.log"], cwd=self.d,
                            env=env, timeout=120, watch=watch)
        log = read_text(os.path.join(self.d, "run.log"))
        self.assertEqual(result.exit_code, exit_code, log)
        launched = recorded(record) if os.path.exists(record) else None
        return result, log, launched

    def test_a_java_17_found_through_the_registry_hint_is_launched(self):
        _, log, launched = self.run_setup(registered=self.java17)
        self.assertEqual(launched["JAVA_HOME"], self.s.windows_path(self.java17))
        self.assertIn("which was resolved from platform hint \\HKEY_LOCAL_MACHINE\\SOFTWARE\\Example Software"
                      "\\Java Runtime\\17\\JavaHome\n", log)
        self.assertTrue(launched["commandline"].endswith(" hello.HelloApp found-or-installed"), launched)

    def test_the_path_hints_are_tried_after_a_wrong_version(self):
        # The registry names a Java 11: verified and refused. Then \Program
        # Files\Java\jdk-17 on each fixed drive, then jre beside setup.exe.
        java_home(self.s, self.program_files, "17.0.5")
        _, log, launched = self.run_setup(registered=self.java11)
        self.assertIn("Found matching JVM at C:\\Program Files\\Java\\jdk-17\n", log)
        self.assertEqual(launched["JAVA_HOME"], "C:\\Program Files\\Java\\jdk-17")
        self.assertNotIn("Found matching JVM at " + self.s.windows_path(self.java11), log)

        shutil.rmtree(self.program_files)
        java_home(self.s, os.path.join(self.d, "jre"), "17.0.7")
        _, log, launched = self.run_setup()
        self.assertEqual(launched["JAVA_HOME"], self.s.windows_path(os.path.join(self.d, "jre")))

    def test_the_carried_jvm_is_installed_when_nothing_passes(self):
        _, log, launched = self.run_setup(registered=self.java11)
        self.assertIn("\nNo suitable JVM was found.\n", log)
        # The run went well: no advice to name a Java home.
        self.assertNotIn("-nv:javahome", log)
        self.assertTrue(launched["JAVA_HOME"].startswith(self.s.windows_path(self.s.temp_dir) + "\\LRE"), launched)
        self.assertTrue(launched["commandline"].endswith(" hello.HelloApp found-or-installed"), launched)
        # Where, how much (the installer double's stand-in Java and the jvm file) and how long.
        installed = re.search(r"\nInstalled the carried JVM at (.+): (\d+) files, (\d+) bytes in \d+ ms\n", log)
        self.assertIsNotNone(installed, log)
        self.assertEqual(installed.group(1), launched["JAVA_HOME"])
        self.assertEqual(int(installed.group(2)), 2)
        self.assertGreater(int(installed.group(3)), os.path.getsize(self.s.fixture("StandInJava")))

    def test_when_the_installation_fails_the_user_reads_why_in_a_box_titled_by_the_author(self):
        text = "Hello App needs Java 17; install it, or start setup.exe with -nv:javahome and the folder of a Java 17."
        result, log, launched = self.run_setup(env={"NV_INSTALLER_NO_JVM": "1"}, silent=False, watch=True,
                                               exit_code=3)
        self.assertIsNone(launched)
        self.assertIn("ERROR: Invalid bundled JVM. Missing 'jvm' file.\n", log)
        # The double left its Java without the jvm file: one file, the stand-in's bytes.
        self.assertRegex(log, r"\nInstalling the carried JVM at .+\\LRE[^:]+ failed: 1 file, %d bytes in \d+ ms\n"
                         % os.path.getsize(self.s.fixture("StandInJava")))
        self.assertIn("\n" + text + "\n", log)
        # The run failed: it ends with the advice the search held back.
        self.assertTrue(log.endswith("\nA suitable JVM could not be found. Please run the program again using the "
                                     "option -nv:javahome <JAVA HOME DIR>\n"), log)
        self.assertEqual([(b["caption"], b["text"]) for b in result.message_boxes], [("Hello App", text)])


class InputFileApiTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.s = harness.session()
        build = cls.s.scratch("example-input-file-api-build")
        # The folder the batch file ships in is drive D:, and the scan's only drive besides C:.
        cls.d = cls.s.scratch("example-input-file-api")
        copy_example("input-file-api", cls.d)
        write(os.path.join(cls.d, "verify.jar"), b"PK\x05\x06" + b"\0" * 18)
        make_carried_jvm(cls.s, build, cls.s.fixture("StandInJava"), VERSION_17, os.path.join(cls.d, "jvmsetup.exe"))
        report = nvpack_manifest(cls.s, os.path.join(cls.d, "helper.nvpack"))
        assert b"no instruction program" in report.stderr, report.stderr
        cls.s.set_drives({"d": cls.d}, {"d": "hd"})

    @classmethod
    def tearDownClass(cls):
        cls.s.reset_drives()

    def find_java(self, expected_code=0):
        result = self.s.run("cmd", ["/c", "D:\\find-java.bat"], cwd=self.d, timeout=180)
        log = os.path.join(self.d, "find-java.log")
        self.assertEqual(result.exit_code, expected_code, (result.text, read_text(log) if os.path.exists(log) else ""))
        return result.text

    def test_verify_search_all_and_install_in_turn(self):
        runtime = os.path.join(self.d, "runtime")
        apps = os.path.join(self.d, "apps")
        try:
            # Nothing anywhere: the carried runtime is installed beside the batch file.
            self.assertEqual(self.find_java(), "JAVA_HOME=D:\\runtime\n")
            self.assertIn("JVM_TEMP:  0\n", read_text(os.path.join(runtime, "jvm")))
            # Next time the installed runtime passes the verification.
            self.assertEqual(self.find_java(), "JAVA_HOME=D:\\runtime\n")
            self.assertIn("After VERIFY, the jvm home is D:\\runtime\n", read_text(os.path.join(self.d, "find-java.log")))

            # Without it, SEARCH_ALL finds the Java 17 on the drive and not the Java 11;
            # the batch file deletes the JVM file the search kept (the run checks none is left).
            shutil.rmtree(runtime)
            java_home(self.s, os.path.join(apps, "jdk-11"), "11.0.21")
            java_home(self.s, os.path.join(apps, "jdk-17"), "17.0.2")
            self.assertEqual(self.find_java(), "JAVA_HOME=D:\\apps\\jdk-17\n")
            self.assertFalse(os.path.exists(runtime))

            # A failed action: the installer is gone; the exit code says so (-1,
            # as cmd reads it on Windows too).
            shutil.rmtree(apps)
            os.rename(os.path.join(self.d, "jvmsetup.exe"), os.path.join(self.d, "jvmsetup.away"))
            text = self.find_java(expected_code=1)
            self.assertIn("find-java: javahelper.exe failed (exit code -1); see find-java.log", text)
        finally:
            shutil.rmtree(runtime, ignore_errors=True)
            shutil.rmtree(apps, ignore_errors=True)
            if os.path.exists(os.path.join(self.d, "jvmsetup.away")):
                os.rename(os.path.join(self.d, "jvmsetup.away"), os.path.join(self.d, "jvmsetup.exe"))


if __name__ == "__main__":
    unittest.main()
