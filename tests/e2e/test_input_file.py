"""Input files, embedded files and the instruction program, end to end."""

import os
import unittest

import harness
from launcherfiles import FAILED_RUN, pack, pack_by_hand, read_text

GOOD_PROGRAM = (b"INSTRUCTIONS:\n"
                b"// jumps through a label held in a variable\n"
                b"SET S1 = SKIP\n"
                b"SET N1 = 0\n"
                b"JMP0 @N1@ @S1@\n"
                b"GOTO BAD\n"
                b":SKIP\n"
                b"SET S2 = \"a \"\"quoted\"\" text\"\n"
                b"GOTO END\n"
                b":BAD\n"
                b"FOO\n"
                b":END\n"
                b"/:\n")


def write(directory, name, data):
    with open(os.path.join(directory, name), "wb") as f:
        f.write(data)


class InputFileTest(unittest.TestCase):
    def setUp(self):
        self.s = harness.session()

    def launcher(self, directory):
        return pack(self.s, directory, [
            (0, 1, "prog.tag", GOOD_PROGRAM),
            (1, 2, "jvm1.tag", b"DESC: first\nJVM_EXE: bin\\java.exe\n"),
            (1, 3, "jvm2.tag", b"DESC: second\nJVM_EXE: bin\\java.exe\n"),
            (2, 4, "script.tag", b"DESC: Demo Wizard\nCOMMAND: x\n"),
            (6, 5, "app.jar", bytes(range(256)) * 585 + b"tail" * 10),  # 149,800 + 40 bytes
        ], check=False)  # FOO stands where the program's jumps never lead

    def test_a_syntax_error_is_shown_with_context_then_alone_and_logged(self):
        d = self.s.scratch("syntax")
        write(d, "bad.tag", b"ACTION: RUN_INSTRUCTIONS\nOOPS\n")
        result = self.s.run(self.s.launcher, ["-nv:log", "x", "-nv:in", "bad.tag"], cwd=d, watch=True,
                            timeout=30)
        error = "Syntax error in bad.tag at line 2 ==> Missing colon at the end of the tag name."
        self.assertEqual([b["text"] for b in result.message_boxes],
                         ["Could not load the input file." + error, error])
        log = read_text(os.path.join(d, "x"))
        self.assertTrue(log.startswith("------------------\nLoading input file bad.tag\n"), log)
        self.assertIn("ERROR: " + error + "\n", log)
        self.assertEqual(result.exit_code, FAILED_RUN)

    def test_extract_writes_every_entry_and_an_input_file_that_reads_them_back(self):
        d = self.s.scratch("extract")
        path = self.launcher(d)
        out = os.path.join(d, "out")
        os.makedirs(out)
        result = self.s.run(path, ["-nv:silent", "-nv:extract"], cwd=out, timeout=60)
        self.assertEqual(result.exit_code, 0)
        self.assertEqual(harness.list_files(out),
                         ["app.jar", "input.tag", "jvm1.tag", "jvm2.tag", "prog.tag", "script.tag"])
        with open(os.path.join(out, "app.jar"), "rb") as f:
            self.assertEqual(f.read(), bytes(range(256)) * 585 + b"tail" * 10)
        self.assertEqual(read_text(os.path.join(out, "input.tag")),
                         "ACTION:  RUN_INSTRUCTIONS\nINSTRUCTIONS:  prog.tag\nJVM:\n  jvm1.tag\n  jvm2.tag\n/:\n"
                         "LAUNCHSCRIPT:  script.tag\n")

        # The extracted program runs from input.tag (given a run log, which an
        # input file without LOGFILE switches off), and its errors carry their line.
        with open(os.path.join(out, "input.tag"), "ab") as f:
            f.write(b"LOGFILE: run.log\n")
        result = self.s.run(path, ["-nv:silent", "-nv:in", "input.tag"], cwd=out, timeout=60)
        self.assertNotIn("ERROR", read_text(os.path.join(out, "run.log")))
        write(out, "prog.tag", b"INSTRUCTIONS:\nSET N1 = 1\n// a comment\nFOO bar\n/:\n")
        self.s.run(path, ["-nv:silent", "-nv:in", "input.tag"], cwd=out, timeout=60)
        self.assertIn("ERROR: Error in instructions. Invalid command (FOO).  Line number (3)\n",
                      read_text(os.path.join(out, "run.log")))

    def test_a_hostile_entry_name_writes_nothing_outside_the_directory(self):
        for name in [b"..\\evil.txt", b"C:\\evil.txt", b"../evil.txt", b"sub\\evil.txt", b""]:
            with self.subTest(name=name):
                d = self.s.scratch("hostile")
                inner = os.path.join(d, "inner")
                os.makedirs(inner)
                path = pack_by_hand(self.s, d, [(6, 1, name, b"evil")])
                before = harness.list_files(d)
                result = self.s.run(path, ["-nv:silent", "-nv:log", "x", "-nv:extract"], cwd=inner, timeout=30)
                self.assertEqual(result.exit_code, FAILED_RUN)
                self.assertEqual(harness.list_files(d), sorted(before + ["inner/x"]))
                self.assertFalse(os.path.exists(os.path.join(self.s.drive_c, "evil.txt")))
                self.assertIn("ERROR: Unable to extract embedded files from the launcher. The embedded file name",
                              read_text(os.path.join(inner, "x")))

    def test_an_input_file_program_runs_to_its_end_and_a_faulty_one_reports_its_line(self):
        d = self.s.scratch("program")
        write(d, "good.tag", GOOD_PROGRAM)
        write(d, "bad.tag", b"INSTRUCTIONS:\nSET N1 = 1\nGOTO NOWHERE\n/:\n")
        for program, expected, exit_code in [("good.tag", None, 0),
                                             ("bad.tag", "ERROR: Error in instructions. ", FAILED_RUN)]:
            with self.subTest(program=program):
                log = os.path.join(d, program + ".log")
                write(d, "in.tag", b"ACTION: RUN_INSTRUCTIONS\nLOGFILE: " + program.encode() + b".log\n"
                      b"INSTRUCTIONS: " + program.encode() + b"\n")
                result = self.s.run(self.s.launcher, ["-nv:silent", "-nv:in", "in.tag"], cwd=d, timeout=30)
                self.assertEqual(result.exit_code, exit_code)
                if expected is None:
                    # Nothing was logged: a launcher without payload lists no entries.
                    self.assertFalse(os.path.exists(log))
                else:
                    text = read_text(log)
                    self.assertRegex(text, r"ERROR: Error in instructions\. .*Line number \(2\)\n")

    def test_actions_without_their_work_say_so(self):
        d = self.s.scratch("actions")
        cases = [
            (b"ACTION: VERIFY_JVM\nVERIFY_JVM_FILE: j.tag\n",
             "ERROR: TO execute the VERIFY_JVM action, you must also provide values in the input file for "
             "VERIFY_JVM_FILE and VERIFY_JVM_HOME.\n", FAILED_RUN),
            (b"ACTION: INSTALL_JVM\n", None, 0),  # nothing to install: nothing happens
        ]
        for text, expected, exit_code in cases:
            with self.subTest(action=text):
                write(d, "in.tag", text + b"LOGFILE: x\nSHOW_FAIL_MSG: 0\n")
                if os.path.exists(os.path.join(d, "x")):
                    os.remove(os.path.join(d, "x"))
                result = self.s.run(self.s.launcher, ["-nv:silent", "-nv:in", "in.tag"], cwd=d, timeout=30)
                self.assertEqual(result.exit_code, exit_code)
                if expected is None:
                    self.assertFalse(os.path.exists(os.path.join(d, "x")))
                else:
                    self.assertIn(expected, read_text(os.path.join(d, "x")))

    def test_an_input_file_without_action_is_refused(self):
        d = self.s.scratch("noaction")
        write(d, "in.tag", b"LOGFILE: x\n")
        result = self.s.run(self.s.launcher, ["-nv:in", "in.tag"], cwd=d, watch=True, timeout=30)
        self.assertEqual([b["text"] for b in result.message_boxes],
                         ["Invalid action in input file: ", "Invalid action in input file: "])
        self.assertIn("ERROR: Invalid action in input file: \n", read_text(os.path.join(d, "x")))


if __name__ == "__main__":
    unittest.main()
