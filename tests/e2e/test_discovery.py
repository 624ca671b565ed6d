"""The discovery of installed Javas end to end, on Java installs laid as the
vendors' installers lay them (javainstalls.py): the catalogue of common installs
(KNOWN_JAVA_INSTALLS) finds each install in a version range when it is the only
one and passes over those outside it without starting them; PREFER: NEWEST takes
the newest in range with one Java start when the homes carry a `release` file,
and verifies a home reached several ways once; hints that name nothing are
warnings naming the hint, and the search goes on to the last one; a range alone
makes a JVM file's hints searched."""

import os
import re
import unittest

import harness
import javainstalls as ji
from launcherfiles import pack, read_text

VERIFY_JAR = (5, 9, "verify.jar", b"PK verify")
LAUNCH_SCRIPT = b'DESC: Discovery\nCOMMAND: """@JVM_HOME@\\@JVM_EXE@"" demo.Main"\n'
# Found: launch it (the stand-in ends with 0); none found: end with 3.
FIND_AND_LAUNCH = (b"INSTRUCTIONS:\nFIND_JVM 0 0\nJMP0 @N1@ NONE\nLAUNCH @S2@ 0\nGOTO DONE\n:NONE\nEXIT 3\n:DONE\n"
                   b"/:\n")
NOT_FOUND = 3


def jvm_file(low, high, extra=b""):
    return (b"DESC: Installed Java\nJVM_EXE: bin\\java.exe\nMIN_JAVA_VERSION: %s\nMAX_JAVA_VERSION: %s\n"
            % (low.encode(), high.encode()) + extra)


def catalogue(low, high, prefer=False):
    return jvm_file(low, high, b"KNOWN_JAVA_INSTALLS: 1\n" + (b"PREFER: NEWEST\n" if prefer else b""))


def admits(install, low, high):
    """Whether a range of majors admits the install (MAX_JAVA_VERSION 17 admits every 17.x)."""
    return int(low) <= install.major <= int(high)


def same_home(found, install):
    """The home as found may end in the backslash of the value that named it."""
    return found.rstrip("\\") == install.home


class DiscoveryTestCase(unittest.TestCase):
    """A scratch folder for input and JVM files, and no Java installed before or after."""

    @classmethod
    def setUpClass(cls):
        cls.s = harness.session()
        cls.d = cls.s.scratch(cls.__name__)
        ji.remove_all(cls.s)

    @classmethod
    def tearDownClass(cls):
        ji.remove_all(cls.s)

    def write(self, name, data):
        with open(os.path.join(self.d, name), "wb") as f:
            f.write(data)

    def fresh_log(self):
        if os.path.exists(os.path.join(self.d, "run.log")):
            os.remove(os.path.join(self.d, "run.log"))

    def log(self):
        return read_text(os.path.join(self.d, "run.log")).replace("\r", "")

    def search(self, jvm_text):
        """SEARCH with the one JVM file: (printed lines, run log). The JVM file a
        search keeps for its caller is checked and removed."""
        self.write("search.jvm", jvm_text)
        self.write("in.tag", b"ACTION: SEARCH\nLOGFILE: run.log\nVERIFY_CLASSPATH: verify.jar\n"
                   b"VERIFY_CLASS_NAME: Verify\nJVM: search.jvm\n")
        ji.clear_starts(self.s)
        self.fresh_log()
        result = self.s.run(self.s.launcher, ["-nv:silent", "-nv:in", "in.tag"], cwd=self.d, timeout=120,
                            keeps_temp=True)
        log = self.log()
        self.assertEqual(result.exit_code, 0, log)
        lines = result.lines
        if lines[:1] == ["1"]:
            self.assertEqual(len(lines), 3, lines)
            kept = os.path.join(self.s.temp_dir, lines[2].rsplit("\\", 1)[1])
            self.assertIn("JVM_HOME:  " + lines[1] + "\n", read_text(kept).replace("\r", ""))
            os.remove(kept)
        return lines, log

    def find_and_launch(self, jvm_text):
        """FIND_JVM, then LAUNCH of what it found: (exit code, run log)."""
        path = pack(self.s, self.d, [(0, 1, "prog.tag", FIND_AND_LAUNCH), (2, 2, "launch.tag", LAUNCH_SCRIPT),
                                     VERIFY_JAR, (1, 3, "java.jvm", jvm_text)], name="find.exe")
        ji.clear_starts(self.s)
        self.fresh_log()
        result = self.s.run(path, ["-nv:silent", "-nv:log", "run.log"], cwd=self.d, timeout=120)
        return result.exit_code, self.log()

    def assert_started(self, expected, log):
        """expected: {install name: [kind, ...]}, the stand-in starts in order."""
        starts = {name: [kind for kind, _ in runs] for name, runs in ji.java_starts(self.s).items()}
        self.assertEqual(starts, expected, log)


class EachInstallAloneTest(DiscoveryTestCase):
    LOW, HIGH = "11", "17"
    # FIND_JVM as well for these: through the registry and PATH, through PATH only, out of range.
    FIND_TOO = {"temurin-17", "path-only", "oracle-jre-8-x86"}

    def test_the_catalogue_finds_each_install_in_range_and_passes_over_the_others_unstarted(self):
        text = catalogue(self.LOW, self.HIGH)
        self.assertTrue(any(not admits(i, self.LOW, self.HIGH) for i in ji.INSTALLS))
        for install in ji.INSTALLS:
            with self.subTest(install=install.name):
                ji.install(self.s, [install])
                try:
                    wanted = admits(install, self.LOW, self.HIGH)
                    lines, log = self.search(text)
                    if wanted:
                        self.assertEqual(lines[0], "1", log)
                        self.assertTrue(same_home(lines[1], install), (lines, log))
                        self.assert_started({install.name: ["verify"]}, log)
                    else:
                        self.assertEqual(lines, ["0"], log)
                        # Its release file puts it outside the range: never started (nor its javapath copy).
                        self.assert_started({}, log)
                        self.assertIn(": Java %s, outside Java %s - %s\n" % (install.version, self.LOW, self.HIGH), log)
                    # Met first the way its installer recorded it: JAVA_HOME and PATH come
                    # before the registry, the registry before the folders.
                    first = ("%JAVA_HOME%" if install.java_home else "%PATH%" if install.path
                             else "HKEY_" if install.keys else "%Program")
                    self.assertRegex(log, r"\nCandidate %s\\? from known installs \(%s" % (
                        re.escape(install.home), re.escape(first)))
                    if install.name in self.FIND_TOO:
                        code, log = self.find_and_launch(text)
                        self.assertEqual(code, 0 if wanted else NOT_FOUND, log)
                        self.assert_started({install.name: ["verify", "launch"]} if wanted else {}, log)
                finally:
                    ji.remove_all(self.s)


class AllInstalledTest(DiscoveryTestCase):
    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        ji.install_all(cls.s)

    def test_prefer_newest_launches_the_newest_in_range_after_one_java_start(self):
        for low, high, newest in [("11", "17", "oracle-jdk-17"), ("13", "15", "javahome-only")]:
            with self.subTest(range=(low, high)):
                code, log = self.find_and_launch(catalogue(low, high, prefer=True))
                self.assertEqual(code, 0, log)
                self.assert_started({newest: ["verify", "launch"]}, log)

    def test_at_one_version_a_64_bit_java_comes_before_a_32_bit_one(self):
        # 11.0.22 twice: the 32-bit Temurin is found first (its key comes before
        # Zulu's) and must wait. Its java.exe reads as a 32-bit program and cannot
        # start here: started, it would fail as a candidate.
        if ji.standin(self.s, 64) is None:
            self.skipTest("no 64-bit stand-in Java is built beside this 32-bit build")
        x86 = ji.BY_NAME["temurin-11-x86"]
        ji.lay_32_bit_header(self.s, x86)
        try:
            code, log = self.find_and_launch(catalogue("11", "11.99", prefer=True))
            self.assertEqual(code, 0, log)
            self.assert_started({"zulu-11": ["verify", "launch"]}, log)
            self.assertNotIn("The JVM at " + x86.home, log)
        finally:
            ji.install(self.s, [x86])

    def test_search_prints_the_newest_in_range(self):
        lines, log = self.search(catalogue("11", "17", prefer=True))
        self.assertEqual(lines[0], "1", log)
        self.assertTrue(same_home(lines[1], ji.BY_NAME["oracle-jdk-17"]), lines)
        self.assert_started({"oracle-jdk-17": ["verify"]}, log)

    def test_a_home_without_a_release_file_comes_after_those_with_one(self):
        newest = ji.BY_NAME["oracle-jdk-17"]
        ji.install(self.s, [newest], without_release=[newest.name])
        try:
            code, log = self.find_and_launch(catalogue("11", "17", prefer=True))
            self.assertEqual(code, 0, log)
            self.assert_started({"temurin-17": ["verify", "launch"]}, log)
        finally:
            ji.install(self.s, [newest])

    def test_without_release_files_each_home_is_verified_once_however_often_it_is_reached(self):
        # Nothing installed is Java 22: every home is verified and fails. Temurin 17
        # is reached through its MSI key, two JavaSoft keys, PATH and its folder; the
        # javapath copies on PATH are never started (they count with their install).
        ji.install_all(self.s, without_release=[i.name for i in ji.INSTALLS])
        try:
            lines, log = self.search(catalogue("22", "23", prefer=True))
            self.assertEqual(lines, ["0"], log)
            starts = ji.java_starts(self.s)
            self.assertEqual({name: len(runs) for name, runs in starts.items()},
                             {i.name: 1 for i in ji.INSTALLS}, log)
        finally:
            ji.install_all(self.s)


class HintTest(DiscoveryTestCase):
    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        ji.install(cls.s, [ji.BY_NAME["zulu-11"], ji.BY_NAME["temurin-17"]])

    def test_hints_that_name_nothing_are_warnings_and_the_last_hint_finds_its_java(self):
        zulu = ji.BY_NAME["zulu-11"]
        invalid = "Invalid platform hint: %s: "
        cases = {
            "registry": ("PLATFORM_HINT", [
                ("\\HKEY_LOCAL_MACHINE\\SOFTWARE\\NorvaneE2E\\Missing\\JDK\\17\\JavaHome", invalid),
                ("HKEY_LOCAL_MACHINE\\SOFTWARE\\Azul Systems\\Zulu\\zulu-11\\JavaHome", invalid),
                ("HKEY_LOCAL_MACHINE\\SOFTWARE\\NorvaneE2E\\Missing\\*\\*\\JavaHome", invalid),
            ], "HKEY_LOCAL_MACHINE\\SOFTWARE\\Azul Systems\\Zulu\\*\\InstallationPath"),
            "folders": ("PATH_HINT", [
                ("C:\\Program Files\\NorvaneE2E\\jdk-17", "Candidate %s from path hint %%s: no bin\\java.exe\n"
                 % "C:\\Program Files\\NorvaneE2E\\jdk-17"),
                ("%ProgramW6432%\\NorvaneE2E\\jdk-*", "Path hint %s names no folder.\n"),
                ("%NV_E2E_UNSET%\\jdk", "Path hint %s: the variable NV_E2E_UNSET is not set.\n"),
            ], "%ProgramW6432%\\Zulu\\zulu-*"),
        }
        for name, (key, misses, last) in cases.items():
            with self.subTest(hints=name):
                hints = [hint for hint, _ in misses] + [last]
                block = "%s:\n%s\n/:\n" % (key, "\n".join(hints))
                lines, log = self.search(jvm_file("11", "11.99", block.encode()))
                self.assertEqual(lines[0], "1", log)
                self.assertTrue(same_home(lines[1], zulu), lines)
                for hint, warning in misses:
                    self.assertIn("\nWARNING: " + warning % hint, log)

    def test_a_range_without_properties_searches_a_platform_hint(self):
        lines, log = self.search(jvm_file("17", "17", b"PLATFORM_HINT:\n"
                                          b"HKEY_LOCAL_MACHINE\\SOFTWARE\\JavaSoft\\JDK\\17\\JavaHome\n/:\n"))
        self.assertEqual(lines[0], "1", log)
        self.assertTrue(same_home(lines[1], ji.BY_NAME["temurin-17"]), lines)
        self.assertNotIn("Unable to verify", log)
        self.assertIn("which was resolved from platform hint HKEY_LOCAL_MACHINE\\SOFTWARE\\JavaSoft\\JDK\\17\\JavaHome",
                      log)


if __name__ == "__main__":
    unittest.main()
