"""The clean-up under Wine: temporary trees removed whole without following
links out of them, files another program holds retried and reported, and a
launcher copy started with -nv:orig removed after it ends (a batch file on
the NT family, WinInit.Ini on the 9x family)."""

import glob
import os
import re
import shutil
import stat
import unittest

import harness
from launcherfiles import pack, read_text

DONE_PROGRAM = b"INSTRUCTIONS:\nSET N1 = 1\n/:\n"


def put_file(path, content):
    """Writes content (bytes) to path, or removes the file when content is None."""
    if content is None:
        if os.path.exists(path):
            os.remove(path)
    else:
        with open(path, "wb") as f:
            f.write(content)


class CleanupTest(unittest.TestCase):
    def setUp(self):
        self.s = harness.session()
        self.probe = self.s.fixture("CleanupProbe")

    def clean(self, directory, args, env=None):
        """Runs the clean-up probe with the run log x in directory; returns its
        result and the log."""
        result = self.s.run(self.probe, ["x"] + args, cwd=directory, timeout=60, env=env)
        log = os.path.join(directory, "x")
        return result, read_text(log) if os.path.exists(log) else ""

    def test_a_tree_goes_whole_but_never_what_a_link_in_it_points_at(self):
        d = self.s.scratch("tree")
        outside = os.path.join(d, "outside")
        os.makedirs(outside)
        for name in ["keep.txt", "also.txt"]:
            with open(os.path.join(outside, name), "w") as f:
                f.write("mine")
        empty_outside = os.path.join(d, "empty-outside")
        os.makedirs(empty_outside)
        plain, linked = os.path.join(d, "LRE1.tmp"), os.path.join(d, "LRE2.tmp")
        for tree in [plain, linked]:
            os.makedirs(os.path.join(tree, "a", "deep"))
            for path in ["top.txt", "a/ro.txt", "a/deep/ro2.txt"]:
                full = os.path.join(tree, path)
                with open(full, "w") as f:
                    f.write("x")
                os.chmod(full, stat.S_IRUSR)  # read-only for Windows
        # Junctions as Windows sees them; Wine would remove an empty target in
        # place of the link, so links stay where they are under Wine.
        os.symlink(outside, os.path.join(linked, "a", "link"))
        os.symlink(empty_outside, os.path.join(linked, "empty-link"))
        # A link to a file looks like a plain file under Wine, and deleting it would delete its target.
        outside_file = os.path.join(d, "outside-file.txt")
        with open(outside_file, "w") as f:
            f.write("not the launcher's")
        os.symlink(outside_file, os.path.join(linked, "a", "file-link.txt"))
        debug = os.path.join(d, "debug.log")
        result, log = self.clean(d, ["dir", self.s.windows_path(linked), "dir", self.s.windows_path(plain)],
                                 env={"DBGWIN32KVB": self.s.windows_path(debug)})
        self.assertEqual(result.exit_code, 0)
        self.assertFalse(os.path.lexists(plain), harness.list_files(d))
        self.assertEqual(sorted(os.listdir(outside)), ["also.txt", "keep.txt"])
        self.assertTrue(os.path.isdir(empty_outside))
        self.assertEqual(read_text(outside_file), "not the launcher's")
        left = sorted(os.path.relpath(os.path.join(root, name), linked)
                      for root, dirs, files in os.walk(linked) for name in dirs + files)
        self.assertEqual(left, ["a", "a/file-link.txt", "a/link", "empty-link"])
        # What no retry can change is given up at once: one warning per link, one try.
        warnings = [line for line in log.splitlines() if line.startswith("WARNING: Could not delete ")]
        self.assertEqual(len(warnings), 3, log)
        self.assertTrue(all(line.endswith("a link is left in place on this system.") for line in warnings), log)
        self.assertEqual(read_text(debug).count("Deleting dir: " + self.s.windows_path(linked) + "\n"), 1)
        self.assertIn("WARNING: Gave up deleting " + self.s.windows_path(linked) + "; it is left behind.\n", log)

    def test_a_held_file_is_retried_reported_and_the_run_still_ends(self):
        d = self.s.scratch("held")
        for hold_ms, gone in [(1000, True), (15000, False)]:
            with self.subTest(hold_ms=hold_ms):
                tree = os.path.join(d, "LRE%d.tmp" % hold_ms)
                os.makedirs(tree)
                held = os.path.join(tree, "held.txt")
                with open(held, "w") as f:
                    f.write("x")
                if os.path.exists(os.path.join(d, "x")):
                    os.remove(os.path.join(d, "x"))
                result, log = self.clean(d, ["hold", self.s.windows_path(held), str(hold_ms),
                                             "dir", self.s.windows_path(tree)])
                self.assertEqual(result.exit_code, 0)
                # Tried again while the file is held, but reported once.
                self.assertEqual(log.count("WARNING: Could not delete " + self.s.windows_path(held) + " :  "), 1, log)
                self.assertEqual(os.path.exists(tree), not gone)
                if gone:
                    self.assertEqual(result.text, "")
                else:
                    # Given up after ten seconds of tries, and said so.
                    self.assertIn("WARNING: Gave up deleting " + self.s.windows_path(tree)
                                  + "; it is left behind.\n", log)
                    self.assertEqual(result.text, "left: %s\n" % self.s.windows_path(tree))


class SelfRemovalTest(unittest.TestCase):
    def setUp(self):
        self.s = harness.session()
        self.s.built(self.s.launcher)

    def copy_of_launcher(self, name, folder="copy"):
        d = self.s.scratch("orig-" + name)
        packed = pack(self.s, d, [(0, 1, "prog.tag", DONE_PROGRAM)])
        copy_dir = os.path.join(d, folder)
        os.makedirs(copy_dir)
        copy = os.path.join(copy_dir, name)
        shutil.copyfile(packed, copy)
        return d, copy_dir, copy

    def test_the_nt_family_removes_the_copy_its_directory_and_the_batch_file(self):
        # cmd reads "%" as a variable even inside quotes; "&" only outside them.
        for name, folder in [("copy.exe", "copy"), ("pct.exe", "50%off & more")]:
            with self.subTest(folder=folder):
                d, copy_dir, copy = self.copy_of_launcher(name, folder)
                batches_before = set(glob.glob(os.path.join(self.s.temp_dir, "LRE*.bat")))
                result = self.s.run(copy, ["-nv:silent", "-nv:orig", self.s.windows_path(os.path.join(d, "setup.exe"))],
                                    cwd=d, timeout=30)
                self.assertEqual(result.exit_code, 0)
                self.assertTrue(harness.wait_for(lambda: not os.path.exists(copy_dir), timeout=30),
                                "the copy or its directory is still there: %r" % harness.list_files(d))
                self.assertTrue(harness.wait_for(
                    lambda: set(glob.glob(os.path.join(self.s.temp_dir, "LRE*.bat"))) <= batches_before, timeout=30),
                    "the batch file is still there")

    def test_the_9x_family_lists_the_copy_in_wininit(self):
        wininit = os.path.join(self.s.drive_c, "windows", "WinInit.Ini")
        cases = [("missing", None, lambda lines: "[Rename]\n" + lines),
                 ("no section", b"[boot]\r\nx=1\r\n", lambda lines: "[boot]\r\nx=1\r\n[Rename]\n" + lines),
                 ("section", b"[a]\r\n[Rename]\r\nold=1\r\n", lambda lines: "[a]\r\n[Rename]\r\n" + lines + "old=1\r\n"),
                 ("header at the end", b"x\r\n[Rename]", lambda lines: "x\r\n[Rename]\n" + lines)]
        d, copy_dir, copy = self.copy_of_launcher("copy98.exe")
        saved = open(wininit, "rb").read() if os.path.exists(wininit) else None
        self.s.set_windows_version("copy98.exe", "win98")
        try:
            for what, before, expected in cases:
                with self.subTest(what):
                    put_file(wininit, before)
                    result = self.s.run(copy, ["-nv:silent", "-nv:orig", "C:\\setup.exe"], cwd=d, timeout=30)
                    self.assertEqual(result.exit_code, 0)
                    text = open(wininit, "rb").read().decode("latin-1")
                    added = re.findall(r"NUL=[^\n]*\n", text)
                    self.assertEqual(len(added), 2, text)
                    self.assertTrue(added[0].upper().endswith("COPY98.EXE\n"), added)
                    self.assertEqual(text, expected("".join(added)))
            self.assertTrue(os.path.exists(copy), "the 9x family leaves the file to the next start")
        finally:
            self.s.set_windows_version("copy98.exe", None)
            put_file(wininit, saved)


if __name__ == "__main__":
    unittest.main()
