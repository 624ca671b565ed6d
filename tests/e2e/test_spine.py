"""The launcher's spine: command line, run driver, launcher file index."""

import os
import shutil
import unittest

import harness
from launcherfiles import FAILED_RUN, pack, pack_by_hand, read_text

PROGRAM = b"INSTRUCTIONS:\nSET N1 = 1\n/:\n"


class SpineTest(unittest.TestCase):
    def setUp(self):
        self.s = harness.session()

    def test_silent_takes_effect_where_it_stands(self):
        for args, boxes in [(["-nv:version", "-nv:silent"], ["2.51"]), (["-nv:silent", "-nv:version"], [])]:
            with self.subTest(args=args):
                result = self.s.run(self.s.launcher, args, watch=True, timeout=30)
                self.assertEqual([b["text"] for b in result.message_boxes], boxes)
                self.assertEqual(result.exit_code, 0)

    def test_an_invalid_type_in_the_index_ends_the_run_as_a_damaged_file(self):
        d = self.s.scratch("type9")
        path = pack_by_hand(self.s, d, [(0, 1, b"a.tag", PROGRAM), (1, 2, b"b.tag", b"DESC: b\n"),
                                        (9, 3, b"c.bin", b"xx")])
        result = self.s.run(path, ["-nv:silent", "-nv:log", "x"], cwd=d, watch=True, timeout=30)
        self.assertEqual(result.exit_code, FAILED_RUN)
        self.assertEqual(result.message_boxes, [])
        self.assertEqual(read_text(os.path.join(d, "x")),
                         "------------------\n"
                         "ERROR: Invalid file type in file index.\n"
                         "ERROR: The launcher file is damaged. Please download it again.\n")

    def test_a_launcher_without_payload_or_program_says_which(self):
        d = self.s.scratch("nopayload")
        plain = os.path.join(d, "plain.exe")
        shutil.copyfile(self.s.launcher, plain)
        with open(self.s.launcher, "rb") as f:
            image = f.read()
        damaged = os.path.join(d, "damaged.exe")
        with open(damaged, "wb") as f:  # one byte of the identification value flipped
            f.write(image[:-1] + bytes([image[-1] ^ 1]))
        no_program = pack(self.s, d, [(6, 8, "app.jar", b"PK")], name="noprogram.exe")
        no_payload = "ERROR: The launcher file carries no payload; it may be damaged or was not packed.\n"
        for path, log in [(plain, no_payload), (damaged, no_payload),
                          (no_program, "ERROR: The launcher file carries no instruction program.\n")]:
            with self.subTest(path=os.path.basename(path)):
                if os.path.exists(os.path.join(d, "x")):
                    os.remove(os.path.join(d, "x"))
                result = self.s.run(path, ["-nv:silent", "-nv:log", "x"], cwd=d, timeout=30)
                self.assertEqual(result.exit_code, FAILED_RUN)
                # The run says what is missing instead of ending silently.
                self.assertTrue(read_text(os.path.join(d, "x")).endswith(log), read_text(os.path.join(d, "x")))

    def test_the_index_is_listed_in_the_run_log(self):
        d = self.s.scratch("listing")
        path = pack(self.s, d, [(0, 7, "prog.tag", PROGRAM), (6, 8, "app.jar", b"PK")])
        result = self.s.run(path, ["-nv:silent", "-nv:log", "x"], cwd=d, timeout=30)
        self.assertEqual(result.exit_code, 0)
        log = read_text(os.path.join(d, "x"))
        self.assertIn("file type: 0\n  file id: 7\n  length: %d\n" % len(PROGRAM), log)
        self.assertIn("file type: 6\n  file id: 8\n  length: 2\n", log)
        self.assertIn("  file name: app.jar\n", log)
        self.assertNotIn("ERROR", log)

    def test_the_9x_family_splits_with_the_narrow_splitter(self):
        # A backslash at the very end of the command line is kept by the system's
        # splitter (x\ names no file) and dropped by the narrow one (the file x).
        d = self.s.scratch("win98")
        path = os.path.join(d, "nv98.exe")
        shutil.copyfile(self.s.launcher, path)
        try:
            for family, expected in [("win98", True), (None, False)]:
                with self.subTest(family=family):
                    self.s.set_windows_version("nv98.exe", family)
                    if os.path.exists(os.path.join(d, "x")):
                        os.remove(os.path.join(d, "x"))
                    result = self.s.run(path, ["-nv:silent", "-nv:log", "x\\"], cwd=d, timeout=30)
                    self.assertEqual(result.exit_code, FAILED_RUN)  # a plain copy carries no payload
                    self.assertEqual(os.path.exists(os.path.join(d, "x")), expected)
        finally:
            self.s.set_windows_version("nv98.exe", None)


if __name__ == "__main__":
    unittest.main()
