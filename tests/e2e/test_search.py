"""SEARCH and SEARCH_ALL end to end on a drive table of the test's own: c: and
a scratch d: holding Java homes with the stand-in java.exe, homes under the
recycle bins and in the temporary directory (also named in its 8.3 form) that
the scan must leave out, and a junction back to d:'s root that the scan must
not follow; hints that name a home by its full path or through the registry
view the launcher does not read first."""

import os
import shutil
import time
import unittest

import harness
from launcherfiles import FAILED_RUN, read_text


def write(directory, name, data):
    with open(os.path.join(directory, name), "wb") as f:
        f.write(data)


def jvm_file(desc, exe, search_all=True, hints=b"PATH_HINT: \\nowhere\n"):
    text = (b"DESC: " + desc + b"\nJVM_EXE: " + exe + b"\nCLASSPATH: \"-cp \"\nCLASSPATH_SEPARATOR: ;\n"
            b"JVM_PROPERTIES:\njava.vendor=Debian\n/:\n" + hints)
    return text + (b"SEARCH_ALL: 1\n" if search_all else b"")


def short_name(session, directory):
    """The 8.3 name that Wine gives the directory (Linux path), as `dir /x` shows it."""
    parent, name = os.path.split(directory)
    listing = session.run("cmd", ["/c", "dir", "/x", session.windows_path(parent)]).stdout.decode("latin-1")
    for line in listing.splitlines():
        parts = line.split()
        if len(parts) >= 2 and parts[-1] == name and "~" in parts[-2]:
            return parts[-2]
    raise AssertionError("no short name for %s in %r" % (name, listing))


class SearchTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.s = harness.session()
        java = cls.s.fixture("StandInJava")
        cls.d = cls.s.scratch("search-drive")
        # Found only by the scan: no hint names them. A's exe is java.exe, so
        # D:\apps\a is met while listing D:\apps\a, before anything below it.
        # The homes in the recycle bins (RECYCLER up to XP, $Recycle.Bin since
        # Vista) would pass the verification if the scan went there.
        for relative in ["apps/a/java.exe", "apps/a/b/bin/java.exe", "apps/a/b/bin/javaw.exe",
                         "RECYCLER/old/java.exe", "$Recycle.Bin/S-1-5-21-1000/java.exe"]:
            os.makedirs(os.path.dirname(os.path.join(cls.d, relative)), exist_ok=True)
            shutil.copyfile(java, os.path.join(cls.d, relative))
        # The stand-in answers the verification from the folder above its own.
        for relative in ["apps", "apps/a/b", "RECYCLER", "$Recycle.Bin"]:
            write(os.path.join(cls.d, relative), "standin.properties", b"java.vendor=Debian\n")
        # A link back to the drive's root: followed, the scan would find every home again and again.
        os.symlink(cls.d, os.path.join(cls.d, "apps", "a", "b", "loop"))
        cls.stash = os.path.join(cls.s.temp_dir, "stash")
        os.makedirs(cls.stash, exist_ok=True)
        shutil.copyfile(java, os.path.join(cls.stash, "java.exe"))
        write(cls.d, "a.tag", jvm_file(b"A", b"java.exe"))
        write(cls.d, "b.tag", jvm_file(b"B", b"bin\\javaw.exe", search_all=False))
        write(cls.d, "none.tag", jvm_file(b"None", b"bin\\nothere.exe"))
        # With z: gone the launcher must lie on a drive of the table.
        shutil.copyfile(cls.s.launcher, os.path.join(cls.d, "setup.exe"))
        cls.s.set_drives({"d": cls.d}, {"d": "hd"})

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.stash, ignore_errors=True)
        cls.s.reset_drives()

    def search(self, action, jvm_files, keeps_temp=True, options=()):
        write(self.d, "in.tag", b"ACTION: " + action + b"\nLOGFILE: run.log\nVERIFY_CLASSPATH: \"\"\"verify.jar\"\"\"\n"
              b"VERIFY_CLASS_NAME: \"\"\"Verify\"\"\"\nJVM:\n" +
              b"".join(b"  " + name + b"\n" for name in jvm_files) + b"/:\n")
        if os.path.exists(os.path.join(self.d, "run.log")):
            os.remove(os.path.join(self.d, "run.log"))
        result = self.s.run(os.path.join(self.d, "setup.exe"), ["-nv:silent"] + list(options) + ["-nv:in", "in.tag"],
                            cwd=self.d, timeout=120, keeps_temp=keeps_temp)
        log = os.path.join(self.d, "run.log")
        self.assertEqual(result.exit_code, 0, (result.stderr[-2000:], read_text(log) if os.path.exists(log) else None))
        return result.stdout.decode("latin-1").replace("\r\n", "\n").split("\n")[:-1]

    def assert_kept_jvm_file(self, path, home):
        """Checks and removes the JVM file that a search kept; returns its text."""
        linux = os.path.join(self.s.temp_dir, path.rsplit("\\", 1)[1])
        self.assertTrue(path.startswith(self.s.windows_path(self.s.temp_dir) + "\\LRE"), path)
        self.assertTrue(os.path.exists(linux), path)  # kept after the run's clean-up
        text = read_text(linux).replace("\r", "")
        self.assertIn("JVM_HOME:  " + home + "\nJVM_FILE:  " + path + "\n", text)
        os.remove(linux)
        return text

    def test_search_prints_the_home_found_by_the_scan_and_keeps_its_jvm_file(self):
        lines = self.search(b"SEARCH", [b"a.tag", b"b.tag"])
        self.assertEqual(len(lines), 3, lines)
        self.assertEqual(lines[:2], ["1", "D:\\apps\\a"])
        self.assert_kept_jvm_file(lines[2], "D:\\apps\\a")
        log = read_text(os.path.join(self.d, "run.log")).replace("\r", "")
        self.assertIn("Beginning exhaustive search\n", log)
        # Taken at once: the walk ends there and nothing is left to verify.
        self.assertNotIn("Processing unverified matches.", log)
        self.assertIn("Matching JVM home is D:\\apps\\a\nMatching JVM file is " + lines[2] + "\n", log)

    def test_search_all_prints_every_home_in_the_order_verified(self):
        lines = self.search(b"SEARCH_ALL", [b"a.tag", b"b.tag"])
        # A's group (met first) in the order found, then B's; nothing from the
        # recycle bins, the temporary directory or through the link.
        homes = ["D:\\apps\\a", "D:\\apps\\a\\b\\bin", "D:\\apps\\a\\b"]
        self.assertEqual(lines[0], "3", lines)
        self.assertEqual(lines[1::2], homes)
        self.assertEqual(len(lines), 7, lines)
        for home, path in zip(homes, lines[2::2]):
            self.assert_kept_jvm_file(path, home)
        self.assertIn("Finding all matching JVMs\n", read_text(os.path.join(self.d, "run.log")).replace("\r", ""))

    def test_the_temporary_directory_is_left_out_in_its_long_and_its_short_form(self):
        temp = os.path.join(self.d, "LongTemporaryFolder")
        elsewhere = os.path.join(self.d, "elsewhere")
        try:
            # Each would pass the verification; only the one outside the temporary directory may be met.
            for home in (os.path.join(temp, "held"), os.path.join(elsewhere, "held")):
                os.makedirs(home)
                shutil.copyfile(self.s.fixture("StandInJava"), os.path.join(home, "held.exe"))
                write(os.path.dirname(home), "standin.properties", b"java.vendor=Debian\n")
            write(self.d, "held.tag", jvm_file(b"Held", b"held.exe"))
            for spelling in ("LongTemporaryFolder", short_name(self.s, temp)):
                with self.subTest(tempdir=spelling):
                    lines = self.search(b"SEARCH_ALL", [b"held.tag"], options=["-nv:tempdir", "D:\\" + spelling])
                    self.assertEqual(lines[:2], ["1", "D:\\elsewhere\\held"])
                    self.assertEqual(len(lines), 3, lines)
                    self.assertTrue(lines[2].startswith("D:\\" + spelling + "\\LRE"), lines)  # in the spelling given
        finally:
            shutil.rmtree(temp, ignore_errors=True)
            shutil.rmtree(elsewhere, ignore_errors=True)
            os.remove(os.path.join(self.d, "held.tag"))

    def test_a_full_path_hint_is_taken_as_it_is_and_its_home_is_not_temporary(self):
        # The launcher lies in D:\; joined to its folder the hint would name D:\D:\apps\a\b.
        write(self.d, "full.tag", jvm_file(b"Full", b"bin\\java.exe", search_all=False,
                                          hints=b"PATH_HINT: D:\\apps\\a\\b\n"))
        lines = self.search(b"SEARCH", [b"full.tag"])
        self.assertEqual(lines[:2], ["1", "D:\\apps\\a\\b"], lines)
        self.assertIn("JVM_TEMP:  0\n", self.assert_kept_jvm_file(lines[2], "D:\\apps\\a\\b"))
        self.assertIn("Checking path hint D:\\apps\\a\\b\n", read_text(os.path.join(self.d, "run.log")).replace("\r", ""))

    def test_the_default_value_of_a_key_only_in_the_other_registry_view_is_read(self):
        # The value's key is missing from the launcher's own view, and the key
        # named like the value, with the home as its default value, is only in the other one.
        other = 96 - self.s.launcher_view
        key = r"HKLM\Software\NorvaneE2E\Search"
        self.s.reg_add(key + r"\JavaHome", None, "D:\\apps\\a", view=other)
        try:
            write(self.d, "reg.tag", jvm_file(b"Registered", b"java.exe", search_all=False,
                                             hints=b"PLATFORM_HINT: \\HKEY_LOCAL_MACHINE\\Software\\NorvaneE2E\\Search"
                                                   b"\\JavaHome\nPATH_HINT: \\nowhere\n"))
            lines = self.search(b"SEARCH", [b"reg.tag"])
            self.assertEqual(lines[:2], ["1", "D:\\apps\\a"], lines)
            self.assert_kept_jvm_file(lines[2], "D:\\apps\\a")
            log = read_text(os.path.join(self.d, "run.log")).replace("\r", "")
            self.assertIn("which was resolved from platform hint \\HKEY_LOCAL_MACHINE\\Software\\NorvaneE2E", log)
            self.assertNotIn("Invalid platform hint", log)
        finally:
            self.s.reg_delete(r"HKLM\Software\NorvaneE2E", view=other)

    def test_nothing_found_prints_zero(self):
        for action in (b"SEARCH", b"SEARCH_ALL"):
            with self.subTest(action=action):
                self.assertEqual(self.search(action, [b"none.tag"], keeps_temp=False), ["0"])
                log = read_text(os.path.join(self.d, "run.log")).replace("\r", "")
                self.assertIn("Processing unverified matches.\n", log)
                if action == b"SEARCH":
                    # A search that answers 0 is a run that went well: no advice to give a Java home.
                    self.assertIn("\nNo suitable JVM was found.\n", log)
                    self.assertNotIn("-nv:javahome", log)


class FailingCandidateTest(unittest.TestCase):
    """Candidates whose java.exe cannot be started (a text file, an empty file)
    or never ends fail one by one: the search goes on to the good ones. The
    verification limit is cut to 2 s for the test (-nv:verifylimit)."""

    @classmethod
    def setUpClass(cls):
        cls.s = harness.session()
        java = cls.s.fixture("StandInJava")
        cls.d = cls.s.scratch("failing-candidates")
        for home in ["good1", "good2", "hung"]:
            os.makedirs(os.path.join(cls.d, home, "bin"))
            shutil.copyfile(java, os.path.join(cls.d, home, "bin", "java.exe"))
            write(os.path.join(cls.d, home), "standin.properties", b"java.vendor=Debian\n")
        write(os.path.join(cls.d, "hung", "bin"), "hang.txt", b"")
        for home, content in [("zz", b"not a program\n"), ("empty", b"")]:
            os.makedirs(os.path.join(cls.d, home, "bin"))
            write(os.path.join(cls.d, home, "bin"), "java.exe", content)
        common = b"JVM_EXE: bin\\java.exe\nJVM_PROPERTIES:\njava.vendor=Debian\n/:\n"
        # The failing homes come first as path hints, so that SEARCH meets them before good2.
        write(cls.d, "hints.tag", b"DESC: Hinted\n" + common + b"PATH_HINT:\n\\zz\n\\empty\n\\hung\n\\good2\n/:\n")
        write(cls.d, "all.tag", b"DESC: All\n" + common + b"PATH_HINT: \\nowhere\nSEARCH_ALL: 1\n")
        shutil.copyfile(cls.s.launcher, os.path.join(cls.d, "setup.exe"))
        cls.s.set_drives({"d": cls.d}, {"d": "hd"})

    @classmethod
    def tearDownClass(cls):
        cls.s.reset_drives()

    def search(self, action, jvm_file):
        write(self.d, "in.tag", b"ACTION: " + action + b"\nLOGFILE: run.log\nVERIFY_CLASSPATH: verify.jar\n"
              b"VERIFY_CLASS_NAME: Verify\nJVM: " + jvm_file + b"\n")
        alive = os.path.join(self.d, "hung", "bin", "alive.txt")
        for old in (alive, os.path.join(self.d, "run.log")):
            if os.path.exists(old):
                os.remove(old)
        result = self.s.run(os.path.join(self.d, "setup.exe"), ["-nv:silent", "-nv:verifylimit", "2", "-nv:in", "in.tag"],
                            cwd=self.d, timeout=120, keeps_temp=True)
        log = read_text(os.path.join(self.d, "run.log"))
        self.assertEqual(result.exit_code, 0, log)
        # Each failing home is logged with the reason, and no insert of the system's text is left unfilled.
        for home in ["zz", "empty"]:
            self.assertRegex(log, r"\nWARNING: The JVM at D:\\%s failed: CreateProcess failed  ==>  [^%%\n]+\n" % home)
        self.assertIn("\nWARNING: The JVM at D:\\hung failed: D:\\hung\\bin\\java.exe did not end within 2 seconds.\n",
                      log)
        # The hung stand-in was ended: its heartbeat has stopped.
        size = os.path.getsize(alive)
        time.sleep(0.5)
        self.assertEqual(os.path.getsize(alive), size)
        lines = result.stdout.decode("latin-1").replace("\r\n", "\n").split("\n")[:-1]
        for path in lines[2::2]:  # the JVM files kept for the caller
            os.remove(os.path.join(self.s.temp_dir, path.rsplit("\\", 1)[1]))
        return lines

    def test_search_all_lists_the_good_homes_past_those_that_fail(self):
        lines = self.search(b"SEARCH_ALL", b"all.tag")
        self.assertEqual(lines[0], "2", lines)
        self.assertEqual(sorted(lines[1::2]), ["D:\\good1", "D:\\good2"])
        self.assertEqual(len(lines), 5, lines)

    def test_search_goes_on_past_failing_hints(self):
        lines = self.search(b"SEARCH", b"hints.tag")
        self.assertEqual(lines[:2], ["1", "D:\\good2"])
        self.assertEqual(len(lines), 3, lines)


class SearchReportTest(unittest.TestCase):
    """What a search that fails or finds nothing shows and logs, with JVM
    files an input file names (nvpack never saw them)."""

    ADVICE = ("A suitable JVM could not be found. Please run the program again using the option -nv:javahome "
              "<JAVA HOME DIR>")
    INVALID = "Invalid hive (HKLM) specified in platform hint (\\HKLM\\SOFTWARE\\NorvaneE2E\\JavaHome)."

    @classmethod
    def setUpClass(cls):
        cls.s = harness.session()
        cls.d = cls.s.scratch("search-report")
        write(cls.d, "hklm.jvm", jvm_file(b"Abbreviated", b"bin\\java.exe", search_all=False,
                                          hints=b"PLATFORM_HINT: \\HKLM\\SOFTWARE\\NorvaneE2E\\JavaHome\n"))
        write(cls.d, "none.jvm", jvm_file(b"None", b"bin\\java.exe", search_all=False))

    def run_input(self, keys, program=None):
        """Runs the input file with these keys; with a program, INSTRUCTIONS names a file that holds it."""
        if program:
            write(self.d, "prog.tag", b"INSTRUCTIONS:\n" + program + b"/:\n")
            keys += b"ACTION: RUN_INSTRUCTIONS\nINSTRUCTIONS: prog.tag\n"
        write(self.d, "in.tag", b"LOGFILE: run.log\nVERIFY_CLASSPATH: verify.jar\nVERIFY_CLASS_NAME: Verify\n" + keys)
        log = os.path.join(self.d, "run.log")
        if os.path.exists(log):
            os.remove(log)
        result = self.s.run(self.s.launcher, ["-nv:in", "in.tag"], cwd=self.d, timeout=120, watch=True)
        return result, read_text(log).replace("\r", "")

    def test_an_invalid_hive_ends_the_run_with_a_box_only_when_one_was_asked_for(self):
        cases = [("SEARCH without SHOW_FAIL_MSG", b"ACTION: SEARCH\nSHOW_FAIL_MSG: 0\n", None, []),
                 ("FIND_JVM 1 0", b"", b"FIND_JVM 1 0\n", []),
                 # Asked for: FIND_JVM's box with the advice, then the run's own.
                 ("FIND_JVM 1 1", b"", b"FIND_JVM 1 1\n", [self.ADVICE + " " + self.INVALID, self.INVALID])]
        for what, keys, program, boxes in cases:
            with self.subTest(what):
                result, log = self.run_input(keys + b"JVM: hklm.jvm\n", program)
                self.assertEqual(result.exit_code, FAILED_RUN, log)
                self.assertEqual([b["text"] for b in result.message_boxes], boxes)
                self.assertIn("\nERROR: " + self.ADVICE + " " + self.INVALID + "\n", log)
                self.assertTrue(log.endswith("\nERROR: " + self.INVALID + "\n"), log)
                self.assertEqual(result.stdout, b"")

    def test_the_advice_to_name_a_java_home_ends_the_log_of_a_run_that_fails(self):
        # Nothing found, and the carried JVM the program falls back on is not there.
        result, log = self.run_input(b"JVM: none.jvm\n",
                                     b"FIND_JVM 0 0\nJMP0 @N1@ INSTALL\nGOTO END\n:INSTALL\nINSTALL_JVM 0\n:END\n")
        self.assertEqual(result.exit_code, FAILED_RUN, log)
        self.assertEqual([b["text"] for b in result.message_boxes],
                         ["No JVM installer was included in the launcher."])
        self.assertIn("\nNo suitable JVM was found.\n", log)
        self.assertTrue(log.endswith("\nERROR: No JVM installer was included in the launcher.\n" + self.ADVICE + "\n"),
                        log)


if __name__ == "__main__":
    unittest.main()
