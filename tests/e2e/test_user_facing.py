"""What a user or a calling program meets in awkward cases: a title in the
user's code page and one from the input file, an entry named after a device,
extraction followed by an input file, an at-sign inside a value, a hostile
file index, and the exit code of a failed run."""

import os
import struct
import unittest

import harness
from launcherfiles import FAILED_RUN, pack, pack_by_hand, read_text

# INITIALIZE_UI shows the dialog; the failing jump's message box then keeps the
# run alive while the watcher reads the dialog.
SHOW_THEN_FAIL = b"INSTRUCTIONS:\nINITIALIZE_UI\nGOTO NOWHERE\n/:\n"


def write(directory, name, data):
    with open(os.path.join(directory, name), "wb") as f:
        f.write(data)


class UserFacingTest(unittest.TestCase):
    def setUp(self):
        self.s = harness.session()
        self.s.built(self.s.launcher)

    def logged_run(self, path, args, cwd, **kwargs):
        """Runs silently with the run log x in cwd; returns the result and the log."""
        log = os.path.join(cwd, "x")
        if os.path.exists(log):
            os.remove(log)
        result = self.s.run(path, ["-nv:silent", "-nv:log", "x"] + args, cwd=cwd, timeout=60, **kwargs)
        return result, read_text(log) if os.path.exists(log) else ""

    def test_titles_in_the_users_code_page_and_from_the_input_file(self):
        d = self.s.scratch("titles")
        wizard = "\u041c\u0430\u0441\u0442\u0435\u0440"  # a Russian title written in code page 1251
        path = pack(self.s, d, [(0, 1, "prog.tag", SHOW_THEN_FAIL),
                                (2, 2, "launch.tag", b"DESC: " + wizard.encode("cp1251") + b"\n")], check=False)
        write(d, "in.tag", b"ACTION: RUN_INSTRUCTIONS\nUI_TITLE: Given Title\n")
        for args, lang, title in [([], "ru_RU.UTF-8", wizard),
                                  (["-nv:in", "in.tag"], "en_US.UTF-8", "Given Title")]:
            with self.subTest(title=title):
                result = self.s.run(path, args, cwd=d, watch=True, timeout=30, lang=lang)
                self.assertEqual(result.exit_code, FAILED_RUN)
                shown = [p for p in result.progress if p["visible"]]
                self.assertTrue(shown, "the dialog was never visible")
                self.assertEqual(shown[0]["title"], title)

    def test_an_entry_named_after_a_device_is_refused_by_name(self):
        d = self.s.scratch("device")
        path = pack_by_hand(self.s, d, [(6, 1, b"nul.txt", b"data")])
        out = os.path.join(d, "out")
        os.makedirs(out)
        result, log = self.logged_run(path, ["-nv:extract"], out)
        self.assertEqual(result.exit_code, FAILED_RUN)
        self.assertIn('ERROR: Unable to extract embedded files from the launcher. The embedded file name "nul.txt" '
                      'is not a plain file name (the name is a device name); nothing was extracted.\n', log)

    def test_extract_then_an_input_file_runs_the_carried_program(self):
        d = self.s.scratch("extract-in")
        path = pack(self.s, d, [(0, 1, "prog.tag", b"INSTRUCTIONS:\nGOTO CARRIED_PROGRAM_RAN\n/:\n")], check=False)
        write(d, "in.tag", b"ACTION: RUN_INSTRUCTIONS\nLOGFILE: x\n")
        result, log = self.logged_run(path, ["-nv:extract", "-nv:in", "in.tag"], d)
        self.assertEqual(result.exit_code, FAILED_RUN)
        self.assertIn("Label not found (CARRIED_PROGRAM_RAN)", log)
        self.assertNotIn("carries no instruction program", log)

    def test_an_at_sign_in_a_value_stays_literal(self):
        d = self.s.scratch("at-sign")
        program = (b"INSTRUCTIONS:\n"
                   b"SET S1 = \"C:\\Users\\a@@corp\\jdk\"\n"
                   b"SET S2 = @S1@\n"
                   b"SET N2 = 7\n"
                   b"SET S3 = x@@N2@@\n"
                   b"SET S4 = @S3@\n"
                   b"SET N1 = @S2@|@S4@\n"
                   b"/:\n")
        path = pack(self.s, d, [(0, 1, "prog.tag", program)])
        result, log = self.logged_run(path, [], d)
        self.assertEqual(result.exit_code, FAILED_RUN)
        # S2 keeps the at-sign; S3 holds the indirect reference x@N2@, which S4 resolves.
        self.assertIn("Invalid numeric expression in C:\\Users\\a@corp\\jdk|x7", log)

    def test_a_hostile_index_ends_the_run_at_once(self):
        d = self.s.scratch("hostile-index")
        with open(self.s.launcher, "rb") as f:
            image = f.read()
        path = os.path.join(d, "hostile.exe")
        with open(path, "wb") as f:
            f.write(image)
            f.write(struct.pack(">i", 0x7FFFFFFF))
            f.write(bytes(64 << 20))  # zero bytes read as millions of valid entries
            f.write(struct.pack(">BII", 1, len(image), 0xCA82CA82))
        result, log = self.logged_run(path, [], d)
        self.assertEqual(result.exit_code, FAILED_RUN)
        self.assertIn("ERROR: The file index lists more entries than the launcher file holds.\n"
                      "ERROR: The launcher file is damaged. Please download it again.\n", log)

    def test_a_launcher_at_the_longest_path_opens_itself(self):
        d = self.s.scratch("long-path")
        packed = pack(self.s, d, [(0, 1, "prog.tag", b"INSTRUCTIONS:\nGOTO OPENED_ITSELF\n/:\n")], check=False)
        # 259 characters is the longest path Windows (and Wine) starts a program from.
        for length, expected in [(259, "Label not found (OPENED_ITSELF)")]:
            with self.subTest(length=length):
                folder = d
                # Folders of up to 50 characters until about 20 are left for the name; a
                # folder needs its separator and one character at least.
                while len(self.s.windows_path(folder)) < length - 21:
                    folder = os.path.join(folder, "f" * min(50, length - 21 - len(self.s.windows_path(folder))))
                os.makedirs(folder, exist_ok=True)
                name = "s" * (length - len(self.s.windows_path(folder)) - 5) + ".exe"
                path = os.path.join(folder, name)
                self.assertEqual(len(self.s.windows_path(path)), length)
                os.link(packed, path)
                result, log = self.logged_run(path, [], d)
                self.assertEqual(result.exit_code, FAILED_RUN)
                self.assertIn(expected, log)

    def test_a_launcher_in_a_folder_the_code_page_cannot_spell_still_runs(self):
        # Under a German locale (code page 1252) a Cyrillic folder name has no
        # ANSI spelling: the launcher takes its short form to open itself.
        d = self.s.scratch("cyrillic")
        folder = os.path.join(d, "\u041c\u0430\u0441\u0442\u0435\u0440")
        os.makedirs(folder)
        record = os.path.join(d, "record.txt")
        installer = self.s.fixture("JvmInstaller")
        with open(installer, "rb") as f:
            installer_bytes = f.read()
        program = b"INSTRUCTIONS:\nINSTALL_JVM 0\nJMP0 @N1@ END\nLAUNCH @S1@ 0\n:END\n/:\n"
        script = b'DESC: Demo\nCOMMAND: """@JVM_HOME@\\@JVM_EXE@"" run"\n'
        path = pack(self.s, folder, [(0, 1, "prog.tag", program), (2, 2, "launch.tag", script),
                                     (4, 3, "jvmsetup.exe", installer_bytes)])
        env = {"NV_STANDIN_JAVA": self.s.windows_path(self.s.fixture("StandInJava")),
               "NV_STANDIN_RECORD": self.s.windows_path(record)}
        result = self.s.run(path, ["-nv:silent", "-nv:log", self.s.windows_path(os.path.join(d, "x"))],
                            cwd=folder, env=env, timeout=60, lang="de_DE.UTF-8")
        log = read_text(os.path.join(d, "x"))
        self.assertEqual(result.exit_code, 0, log)
        self.assertIn("file name: jvmsetup.exe", log)  # it read its own index
        with open(record, "rb") as f:
            self.assertIn(b"arg1=run", f.read())  # and launched through the installed JVM

        out = os.path.join(folder, "out")
        os.makedirs(out)
        result = self.s.run(path, ["-nv:silent", "-nv:extract"], cwd=out, timeout=60, lang="de_DE.UTF-8")
        self.assertEqual(result.exit_code, 0)
        self.assertEqual(sorted(os.listdir(out)), ["input.tag", "jvmsetup.exe", "launch.tag", "prog.tag"])


if __name__ == "__main__":
    unittest.main()
