"""SEARCH and SEARCH_ALL end to end on a drive table of the test's own: c: and
a scratch d: holding Java homes with the stand-in java.exe, one home under a
recycle bin and one in the temporary directory that the scan must leave out,
and a junction back to d:'s root that the scan must not follow."""

import os
import shutil
import unittest

import harness
from launcherfiles import read_text


def write(directory, name, data):
    with open(os.path.join(directory, name), "wb") as f:
        f.write(data)


def jvm_file(desc, exe, search_all=True):
    text = (b"DESC: " + desc + b"\nJVM_EXE: " + exe + b"\nCLASSPATH: \"-cp \"\nCLASSPATH_SEPARATOR: ;\n"
            b"JVM_PROPERTIES:\njava.vendor=Debian\n/:\nPATH_HINT: \\nowhere\n")
    return text + (b"SEARCH_ALL: 1\n" if search_all else b"")


class SearchTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.s = harness.session()
        java = cls.s.fixture("StandInJava")
        if not os.path.exists(java):
            raise unittest.SkipTest("StandInJava is not built in %s" % cls.s.build_dir)
        cls.d = cls.s.scratch("search-drive")
        # Found only by the scan: no hint names them. A's exe is java.exe, so
        # D:\apps\a is met while listing D:\apps\a, before anything below it.
        for relative in ["apps/a/java.exe", "apps/a/b/bin/java.exe", "apps/a/b/bin/javaw.exe",
                         "RECYCLER/old/java.exe"]:
            os.makedirs(os.path.dirname(os.path.join(cls.d, relative)), exist_ok=True)
            shutil.copyfile(java, os.path.join(cls.d, relative))
        # The stand-in answers the verification from the folder above its own.
        for relative in ["apps", "apps/a/b"]:
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

    def search(self, action, jvm_files, keeps_temp=True):
        write(self.d, "in.tag", b"ACTION: " + action + b"\nLOGFILE: run.log\nVERIFY_CLASSPATH: \"\"\"verify.jar\"\"\"\n"
              b"VERIFY_CLASS_NAME: \"\"\"Verify\"\"\"\nJVM:\n" +
              b"".join(b"  " + name + b"\n" for name in jvm_files) + b"/:\n")
        if os.path.exists(os.path.join(self.d, "run.log")):
            os.remove(os.path.join(self.d, "run.log"))
        result = self.s.run(os.path.join(self.d, "setup.exe"), ["-nv:silent", "-nv:in", "in.tag"], cwd=self.d, timeout=120,
                            keeps_temp=keeps_temp)
        log = os.path.join(self.d, "run.log")
        self.assertEqual(result.exit_code, 0, (result.stderr[-2000:], read_text(log) if os.path.exists(log) else None))
        return result.stdout.decode("latin-1").replace("\r\n", "\n").split("\n")[:-1]

    def assert_kept_jvm_file(self, path, home):
        linux = os.path.join(self.s.temp_dir, path.rsplit("\\", 1)[1])
        self.assertTrue(path.startswith(self.s.windows_path(self.s.temp_dir) + "\\LRE"), path)
        self.assertTrue(os.path.exists(linux), path)  # kept after the run's clean-up
        text = read_text(linux).replace("\r", "")
        self.assertIn("JVM_HOME:  " + home + "\nJVM_FILE:  " + path + "\n", text)
        os.remove(linux)

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
        # recycle bin, the temporary directory or through the link.
        homes = ["D:\\apps\\a", "D:\\apps\\a\\b\\bin", "D:\\apps\\a\\b"]
        self.assertEqual(lines[0], "3", lines)
        self.assertEqual(lines[1::2], homes)
        self.assertEqual(len(lines), 7, lines)
        for home, path in zip(homes, lines[2::2]):
            self.assert_kept_jvm_file(path, home)
        self.assertIn("Finding all matching JVMs\n", read_text(os.path.join(self.d, "run.log")).replace("\r", ""))

    def test_nothing_found_prints_zero(self):
        for action in (b"SEARCH", b"SEARCH_ALL"):
            with self.subTest(action=action):
                self.assertEqual(self.search(action, [b"none.tag"], keeps_temp=False), ["0"])
                log = read_text(os.path.join(self.d, "run.log")).replace("\r", "")
                self.assertIn("Processing unverified matches.\n", log)
                if action == b"SEARCH":
                    self.assertIn("\nA suitable JVM could not be found.", log)


if __name__ == "__main__":
    unittest.main()
