"""A damaged download is caught: a launcher file whose class-path archive has
one changed byte ends, before Java starts, with the message that it is
damaged (in the user's language), names the entry and both CRC-32s in the run
log and leaves no temporary file; a file packed before the checksums runs
unchecked, as it always did."""

import os
import shutil
import unittest
import zlib

import harness
from launcherfiles import FAILED_RUN, index_entries, pack, read_text, without_checksums

JAR = b"PK\x03\x04 the class path archive of a launcher that was downloaded"
LAUNCH_SCRIPT = b'DESC: Damaged Download\nCOMMAND: """@JVM_HOME@\\@JVM_EXE@"" %CP%() demo.Main"\n'
DAMAGED = {"en_US.UTF-8": "The launcher file is damaged. Please download it again.",
           "de_DE.UTF-8": "Der Launcher ist beschädigt. Laden Sie ihn erneut herunter."}


class ChecksumsTest(unittest.TestCase):
    def setUp(self):
        self.s = harness.session()
        self.d = self.s.scratch("checksums")

    def launcher(self):
        """A launcher that starts the stand-in Java with the jar on its class path;
        returns its path and the stand-in's home."""
        home = os.path.join(self.d, "jdk")
        os.makedirs(os.path.join(home, "bin"))
        shutil.copyfile(self.s.fixture("StandInJava"), os.path.join(home, "bin", "java.exe"))
        with open(os.path.join(home, "bin", "exitcode.txt"), "w") as f:
            f.write("7")
        jvm = os.path.join(self.d, "jvm.tag")
        with open(jvm, "wb") as f:
            f.write(b"JVM_HOME: " + self.s.windows_path(home).encode() + b"\\\nJVM_EXE: bin\\java.exe\n"
                    b'CLASSPATH: "-cp "\nCLASSPATH_SEPARATOR: ;\n')
        program = b'INSTRUCTIONS:\nLAUNCH "' + self.s.windows_path(jvm).encode() + b'" 0\n/:\n'
        path = pack(self.s, self.d, [(0, 1, "prog.tag", program), (2, 2, "launch.tag", LAUNCH_SCRIPT),
                                     (3, 3, "lib.jar", JAR)])
        return path, home

    def damaged_copy(self, path, name):
        """A copy of the launcher file with one byte of the jar changed."""
        with open(path, "rb") as f:
            image = bytearray(f.read())
        image[image.find(JAR) + 20] ^= 0x01
        copy = os.path.join(self.d, name)
        with open(copy, "wb") as f:
            f.write(image)
        return copy

    def run_logged(self, path, home, lang=None):
        """Runs with the run log x, silently unless a language is given (then the
        watcher presses the message boxes); returns the result, the log and
        whether Java ran."""
        for stale in (os.path.join(self.d, "x"), os.path.join(home, "bin", "record.txt")):
            if os.path.exists(stale):
                os.remove(stale)
        args = ["-nv:log", "x"] if lang else ["-nv:silent", "-nv:log", "x"]
        result = self.s.run(path, args, cwd=self.d, timeout=60, watch=bool(lang), lang=lang)
        return result, read_text(os.path.join(self.d, "x")), os.path.exists(os.path.join(home, "bin", "record.txt"))

    def test_a_changed_byte_in_a_class_path_jar_ends_the_run_before_java_starts(self):
        path, home = self.launcher()
        damaged = self.damaged_copy(path, "damaged.exe")
        flipped = bytearray(JAR)
        flipped[20] ^= 0x01
        for lang, text in DAMAGED.items():
            with self.subTest(lang=lang):
                result, log, java_ran = self.run_logged(damaged, home, lang)
                self.assertEqual(result.exit_code, FAILED_RUN)
                self.assertFalse(java_ran, "the damaged jar reached Java")
                self.assertEqual([box["text"] for box in result.message_boxes], [text])
                self.assertIn("ERROR: The embedded file lib.jar has the CRC-32 %08X; the launcher file records "
                              "%08X.\n" % (zlib.crc32(bytes(flipped)), zlib.crc32(JAR)), log)
                self.assertTrue(log.endswith("ERROR: " + text + "\n"), log)
        # The same file undamaged runs through to Java.
        result, log, java_ran = self.run_logged(path, home)
        self.assertEqual(result.exit_code, 7, log)
        self.assertTrue(java_ran)

    def test_a_file_packed_before_the_checksums_runs_unchecked_as_before(self):
        path, home = self.launcher()
        old = without_checksums(path, os.path.join(self.d, "old.exe"))
        for name, launcher in [("as packed", old), ("with a changed byte", self.damaged_copy(old, "old-damaged.exe"))]:
            with self.subTest(name):
                result, log, java_ran = self.run_logged(launcher, home)
                self.assertEqual(result.exit_code, 7, log)
                self.assertTrue(java_ran)
                self.assertNotIn("ERROR", log)

    def test_without_checksums_gives_what_nvpack_wrote_before_them(self):
        # The unit tests' launcher file written by nvpack before the checksums: its
        # entries packed again on its stub, less the checksums, are that file.
        with open(os.path.join(harness.REPO_ROOT, "tests", "unit", "data", "packed-before-checksums.bin"), "rb") as f:
            before = f.read()
        _, entries = index_entries(before)
        stub = os.path.join(self.d, "stub.exe")
        with open(stub, "wb") as f:
            f.write(before[:entries[0][3]])
        args = [self.s.nvpack, "--stub", stub, "--out", os.path.join(self.d, "now.exe"), "--no-check",
                "--mode", str(before[-9])]
        for i, (kind, file_id, name, offset, length) in enumerate(entries):
            source = os.path.join(self.d, "source%d" % i)
            with open(source, "wb") as f:
                f.write(before[offset:offset + length])
            args += ["--entry", str(kind), str(file_id), name.decode(), source]
        result = self.s.run_host(args)
        self.assertEqual(result.returncode, 0, result.stderr)
        with open(without_checksums(os.path.join(self.d, "now.exe"), os.path.join(self.d, "then.exe")), "rb") as f:
            self.assertEqual(f.read(), before)


if __name__ == "__main__":
    unittest.main()
