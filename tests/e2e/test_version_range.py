"""MIN_JAVA_VERSION and MAX_JAVA_VERSION end to end: the stand-in Java reports
the java.version its home's standin.properties gives; the launcher refuses a
version outside the JVM file's range in VERIFY_JVM, SEARCH and FIND_JVM, logs
why, and the user's not-found message names the range. nvpack refuses a bound
that is no version and a range nothing meets."""

import os
import shutil
import unittest

import harness
from launcherfiles import pack, read_text

VERIFY_JAR = (5, 9, "verify.jar", b"PK verify")


def write(directory, name, data):
    with open(os.path.join(directory, name), "wb") as f:
        f.write(data)


def jvm_file(bounds, hints=()):
    return (b"DESC: ranged\nJVM_EXE: bin\\java.exe\nCLASSPATH: \"-cp \"\nCLASSPATH_SEPARATOR: ;\n" + bounds
            + b"JVM_PROPERTIES:\njava.vendor=Debian\n/:\n"
            + (b"PATH_HINT:\n" + b"".join(h.encode() + b"\n" for h in hints) + b"/:\n" if hints else b""))


class VersionRangeTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.s = harness.session()
        cls.d = cls.s.scratch("version-range")
        java = cls.s.fixture("StandInJava")
        cls.homes = {}
        for version in ("11.0.2", "17.0.15", "22.0.1"):
            home = os.path.join(cls.d, "jdk " + version)
            os.makedirs(os.path.join(home, "bin"))
            shutil.copyfile(java, os.path.join(home, "bin", "java.exe"))
            write(home, "standin.properties", b"java.vendor=Debian\njava.version=" + version.encode() + b"\n")
            cls.homes[version] = cls.s.windows_path(home)

    def logged_run(self, path, args, **kwargs):
        """Runs in the test's folder; the arguments or the input file write the run log run.log."""
        log = os.path.join(self.d, "run.log")
        if os.path.exists(log):
            os.remove(log)
        result = self.s.run(path, args, cwd=self.d, timeout=120, **kwargs)
        return result, read_text(log)

    def test_verify_jvm_refuses_a_java_below_the_minimum_and_accepts_one_within(self):
        path = pack(self.s, self.d, [VERIFY_JAR], name="verify.exe")
        write(self.d, "min17.jvm", jvm_file(b"MIN_JAVA_VERSION: 17\n"))
        for version, answer in [("11.0.2", "0"), ("17.0.15", "1")]:
            with self.subTest(version=version):
                home = self.homes[version]
                write(self.d, "in.tag", b"ACTION: VERIFY_JVM\nLOGFILE: run.log\nVERIFY_JVM_FILE: min17.jvm\n"
                      b"VERIFY_JVM_HOME: " + home.encode() + b"\n")
                result, log = self.logged_run(path, ["-nv:silent", "-nv:in", "in.tag"])
                self.assertEqual((result.exit_code, result.lines), (0, [answer]), log)
                # The version is asked for before the properties of JVM_PROPERTIES.
                self.assertRegex(log, r'" "Verify" java\.version java\.vendor in working directory')
                refusal = "Found Java 11.0.2 at %s; needs Java 17+\n" % home
                if answer == "0":
                    self.assertIn(refusal, log)
                else:
                    self.assertIn("After VERIFY, the jvm home is " + home + "\n", log)
                    self.assertNotIn("Found Java ", log)

    def test_search_goes_on_past_a_refused_version_to_one_in_the_range(self):
        write(self.d, "hinted.jvm", jvm_file(b"MIN_JAVA_VERSION: 17\nMAX_JAVA_VERSION: 21.99\n",
                                             [self.homes["11.0.2"], self.homes["22.0.1"], self.homes["17.0.15"]]))
        write(self.d, "in.tag", b"ACTION: SEARCH\nLOGFILE: run.log\nVERIFY_CLASSPATH: verify.jar\n"
              b"VERIFY_CLASS_NAME: Verify\nJVM: hinted.jvm\n")
        result, log = self.logged_run(self.s.launcher, ["-nv:silent", "-nv:in", "in.tag"], keeps_temp=True)
        lines = result.lines
        self.assertEqual(lines[:2], ["1", self.homes["17.0.15"]], log)
        os.remove(os.path.join(self.s.temp_dir, lines[2].rsplit("\\", 1)[1]))  # the JVM file SEARCH keeps
        self.assertIn("Found Java 11.0.2 at %s; needs Java 17 - 21.99\n" % self.homes["11.0.2"], log)
        self.assertIn("Found Java 22.0.1 at %s; needs Java 17 - 21.99\n" % self.homes["22.0.1"], log)

    def test_the_not_found_message_names_the_range_in_the_users_language(self):
        # The user's own home and the one hint are both refused; the message
        # is the Japanese one, in code page 932, and the range in ASCII.
        program = b"INSTRUCTIONS:\nFIND_JVM 0 1\n/:\n"
        path = pack(self.s, self.d, [(0, 1, "prog.tag", program), VERIFY_JAR,
                                     (1, 2, "ranged.jvm", jvm_file(b"MIN_JAVA_VERSION: 17\nMAX_JAVA_VERSION: 21.99\n",
                                                                   [self.homes["11.0.2"]]))], name="find.exe")
        result, log = self.logged_run(path, ["-nv:log", "run.log", "-nv:javahome", self.homes["22.0.1"]], watch=True,
                                      lang="ja_JP.UTF-8")
        self.assertEqual(result.exit_code, 0, log)
        self.assertIn("Checking user specified Java home directory => " + self.homes["22.0.1"], log)
        self.assertIn("Found Java 22.0.1 at %s; needs Java 17 - 21.99\n" % self.homes["22.0.1"], log)
        self.assertIn("Found Java 11.0.2 at %s; needs Java 17 - 21.99\n" % self.homes["11.0.2"], log)
        boxes = [b["text"] for b in result.message_boxes]
        self.assertEqual(len(boxes), 1, boxes)
        message, wanted = boxes[0].split("\n")
        self.assertEqual(wanted, "Java 17 - 21.99")
        self.assertIn("-nv:javahome <JAVA HOME DIR>", message)
        self.assertNotIn("A suitable JVM could not be found", message)
        self.assertTrue(result.message_boxes[0]["text_ansi"].endswith("Java 17 - 21.99".encode().hex()))

    def test_nvpack_refuses_a_bound_that_is_no_version_and_a_range_nothing_meets(self):
        cases = [(b"MIN_JAVA_VERSION: 17-ea\n", 'MIN_JAVA_VERSION "17-ea" is not a Java version; write numbers and '
                                                'dots, such as 17, 21.0.2 or 1.8.0_40'),
                 (b"MAX_JAVA_VERSION: 21.x\n", 'MAX_JAVA_VERSION "21.x" is not a Java version'),
                 (b"MIN_JAVA_VERSION: 22\nMAX_JAVA_VERSION: 21.99\n",
                  "MIN_JAVA_VERSION 22 is above MAX_JAVA_VERSION 21.99, so no Java can meet both")]
        for bounds, message in cases:
            with self.subTest(bounds=bounds):
                source = os.path.join(self.d, "bad.jvm")
                write(self.d, "bad.jvm", jvm_file(bounds))
                out = os.path.join(self.d, "refused.exe")
                result = self.s.run_host([self.s.nvpack, "--stub", self.s.launcher, "--out", out,
                                          "--entry", "5", "1", "verify.jar", source,
                                          "--entry", "1", "2", "java.jvm", source])
                self.assertNotEqual(result.returncode, 0)
                self.assertIn('entry "java.jvm" (%s): %s' % (source, message), result.stderr.decode())
                self.assertFalse(os.path.exists(out))


if __name__ == "__main__":
    unittest.main()
