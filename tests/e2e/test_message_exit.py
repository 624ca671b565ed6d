"""MESSAGE and EXIT end to end: a program that installs the carried JVM,
finds it unfit, tells the user in a box titled like the launcher's other
boxes and ends with its own exit code; the temporary JVM is gone as after
any run. A silent run shows no box and logs the text; EXIT's code stands
even where a wizard's 1000 would count as success."""

import os
import unittest

import harness
from launcherfiles import pack, read_text

TEXT = "Hello App needs Java 17; install it, then start setup.exe again."
PROGRAM = ("INSTRUCTIONS:\nINSTALL_JVM 0\nSET S3 = 17\nMESSAGE \"Hello App needs Java @S3@; install it, then "
           "start setup.exe again.\"\nEXIT 3\nLAUNCH @S1@ 0\n/:\n").encode()
LAUNCH_SCRIPT = b'DESC: Hello App\nCOMMAND: """@JVM_HOME@\\@JVM_EXE@"" run"\n'


class MessageExitTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.s = harness.session()
        cls.d = cls.s.scratch("message-exit")
        with open(cls.s.fixture("JvmInstaller"), "rb") as f:
            installer = f.read()
        cls.path = pack(cls.s, cls.d, [(0, 1, "prog.tag", PROGRAM), (2, 2, "launch.tag", LAUNCH_SCRIPT),
                                       (4, 3, "jvmsetup.exe", installer)])
        cls.record = os.path.join(cls.d, "record.txt")
        cls.env = {"NV_STANDIN_JAVA": cls.s.windows_path(cls.s.fixture("StandInJava")),
                   "NV_STANDIN_RECORD": cls.s.windows_path(cls.record)}

    def run_launcher(self, path, args):
        log = os.path.join(self.d, "run.log")
        if os.path.exists(log):
            os.remove(log)
        # The harness fails a run that leaves a temporary name behind: the installed JVM must go.
        result = self.s.run(path, args + ["-nv:log", "run.log"], cwd=self.d, env=self.env, timeout=60, watch=True)
        return result, read_text(log)

    def test_the_box_shows_the_authors_text_and_the_run_ends_with_the_code(self):
        result, log = self.run_launcher(self.path, [])
        self.assertEqual([(b["caption"], b["text"]) for b in result.message_boxes], [("Hello App", TEXT)])
        self.assertEqual(result.exit_code, 3, log)
        self.assertIn("\n" + TEXT + "\n", log)
        self.assertNotIn("ERROR", log)
        self.assertFalse(os.path.exists(self.record), "a line after EXIT ran")

    def test_a_silent_run_shows_no_box_and_logs_the_text(self):
        result, log = self.run_launcher(self.path, ["-nv:silent"])
        self.assertEqual(result.message_boxes, [])
        self.assertEqual(result.exit_code, 3, log)
        self.assertIn("\n" + TEXT + "\n", log)

    def test_exits_code_stands_where_a_wizards_1000_would_be_success(self):
        d = self.s.scratch("message-exit-wizard")
        path = pack(self.s, d, [(0, 1, "prog.tag", b"INSTRUCTIONS:\nEXIT 1000\n/:\n")], mode=2)
        result = self.s.run(path, ["-nv:silent"], cwd=d, timeout=60)
        self.assertEqual(result.exit_code, 1000 % 256)  # Wine reports the code modulo 256


if __name__ == "__main__":
    unittest.main()
