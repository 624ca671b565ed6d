"""The launcher answers -nv:version with a message box."""

import os
import unittest

import harness


class VersionTest(unittest.TestCase):
    def test_version_box(self):
        s = harness.session()
        if not os.path.exists(s.launcher):
            self.skipTest("launcher.exe is not built in %s" % s.build_dir)
        result = s.run(s.launcher, ["-nv:version"], watch=True, timeout=30)
        self.assertEqual([b["text"] for b in result.message_boxes], ["2.51"])
        self.assertEqual(result.exit_code, 0)


if __name__ == "__main__":
    unittest.main()
