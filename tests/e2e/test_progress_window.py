"""The launcher process: the progress dialog that the mode byte picks, the message loop
of both Windows families, the debug log and the exit code."""

import os
import shutil
import struct
import unittest

import harness
from launcherfiles import FAILED_RUN


def launcher_with_mode(session, directory, mode):
    """A copy of launcher.exe with an empty file index and the given mode byte;
    with mode None, a plain copy without trailer."""
    path = os.path.join(directory, "launcher.exe")
    shutil.copyfile(session.launcher, path)
    if mode is None:
        return path
    with open(path, "ab") as f:
        index = f.tell()
        f.write(struct.pack(">iBII", 0, mode, index, 0xCA82CA82))
    return path


def packed_launcher(session, directory, instructions, title, mode=2):
    """A launcher file made by nvpack with the instruction lines and a launch script
    whose DESC is title. The programs fail on purpose, so nvpack packs them unchecked."""
    program = os.path.join(directory, "instructions.tag")
    with open(program, "w") as f:
        f.write("INSTRUCTIONS:\n" + "".join(line + "\n" for line in instructions) + "/:\n")
    script = os.path.join(directory, "launch.tag")
    with open(script, "w") as f:
        f.write("DESC: %s\n" % title)
    path = os.path.join(directory, "launcher.exe")
    packed = session.run_host([session.nvpack, "--stub", session.launcher, "--out", path, "--mode", mode,
                               "--no-check", "--entry", 0, 1, "instructions.tag", program,
                               "--entry", 2, 2, "launch.tag", script])
    if packed.returncode != 0:
        raise AssertionError("nvpack failed: %r" % packed.stderr)
    return path


class ProgressWindowTest(unittest.TestCase):
    def setUp(self):
        self.s = harness.session()
        self.s.built(self.s.launcher)

    def test_mode_byte_picks_the_dialog(self):
        explanation = ("Norvane\u00ae is preparing the Norvane Wizard, which\nwill guide you through "
                       "the rest of the process.\nPlease wait...")
        heights = {}
        for name, mode, large in [("mode0", 0, True), ("mode1", 1, False), ("mode2", 2, False),
                                  ("no-trailer", None, False)]:
            with self.subTest(name):
                path = launcher_with_mode(self.s, self.s.scratch("progress-" + name), mode)
                # The version box keeps the run alive while the watcher looks at the hidden dialog.
                result = self.s.run(path, ["-nv:version"], watch=True, timeout=30)
                self.assertEqual(result.exit_code, 0)
                self.assertEqual([b["text"] for b in result.message_boxes], ["2.51"])
                # Only this run's dialog: a process of an earlier test may still show its own.
                own = [p for p in result.progress
                       if p.get("program", "").lower() == self.s.windows_path(path).lower()]
                self.assertTrue(own, "no progress dialog of this run seen: %r" % result.progress)
                dialog = own[-1]
                self.assertFalse(dialog["visible"])
                self.assertEqual(dialog["detail_visible"], large)
                self.assertEqual(dialog["detail"], explanation)
                heights[large] = dialog["height"]
        self.assertGreater(heights[True], heights[False])

    def test_failure_box_belongs_to_the_shown_dialog(self):
        self.s.built(self.s.nvpack)
        # The bad jump fails while the window shows; its box keeps the run alive for the watcher.
        path = packed_launcher(self.s, self.s.scratch("failure-box"), ["INITIALIZE_UI", "GOTO NOWHERE"],
                               "Demo Setup")
        result = self.s.run(path, watch=True, timeout=30)
        self.assertEqual(result.exit_code, FAILED_RUN)
        shown = [p for p in result.progress if p["visible"]]
        self.assertTrue(shown, "the dialog was never visible")
        self.assertEqual(shown[0]["title"], "Demo Setup")
        self.assertEqual(shown[0]["status"], "Initializing Demo Setup...")
        boxes = result.message_boxes
        self.assertEqual(len(boxes), 1, boxes)
        self.assertEqual(boxes[0]["caption"], "Demo Setup")
        self.assertTrue(boxes[0]["text"].startswith("Error in instructions. "), boxes[0]["text"])
        self.assertTrue(any(e["event"] == "closed" for e in result.events), "the dialog was not destroyed")

        quiet = self.s.run(path, ["-nv:silent"], watch=True, timeout=30)
        self.assertEqual(quiet.exit_code, FAILED_RUN)
        self.assertEqual(quiet.message_boxes, [])
        self.assertFalse(any(p["visible"] for p in quiet.progress))

    def test_the_user_language_picks_the_texts_in_its_code_page(self):
        self.s.built(self.s.nvpack)
        path = packed_launcher(self.s, self.s.scratch("languages"), ["INITIALIZE_UI", "GOTO NOWHERE"],
                               "Demo Setup")
        for lang, status, codepage in [("de_DE.UTF-8", "Demo Setup wird initialisiert...", "cp1252"),
                                       ("ru_RU.UTF-8", "\u0418\u043d\u0438\u0446\u0438\u0430\u043b\u0438"
                                                       "\u0437\u0430\u0446\u0438\u044f Demo Setup...", "cp1251")]:
            with self.subTest(lang=lang):
                result = self.s.run(path, watch=True, timeout=30, lang=lang)
                self.assertEqual(result.exit_code, FAILED_RUN)  # GOTO NOWHERE fails the run
                shown = [p for p in result.progress if p["visible"]]
                self.assertTrue(shown, "the dialog was never visible")
                self.assertEqual(shown[0]["status"], status)
                self.assertEqual(shown[0]["status_ansi"], status.encode(codepage).hex())

    def test_both_families_run_to_the_end_with_a_debug_log(self):
        directory = self.s.scratch("families")
        path = launcher_with_mode(self.s, directory, 2)
        log = os.path.join(directory, "debug.log")
        try:
            for family in ["winxp", "win98"]:
                with self.subTest(family):
                    self.s.set_windows_version("launcher.exe", family)
                    if os.path.exists(log):
                        os.remove(log)
                    result = self.s.run(path, ["-nv:version"], watch=True, timeout=30,
                                        env={"DBGWIN32KVB": self.s.windows_path(log)})
                    self.assertEqual(result.exit_code, 0)
                    self.assertEqual([b["text"] for b in result.message_boxes], ["2.51"])
                    with open(log, "rb") as f:
                        self.assertTrue(f.read().startswith(b"Launcher Started\r\n"))
        finally:
            self.s.set_windows_version("launcher.exe", None)


if __name__ == "__main__":
    unittest.main()
