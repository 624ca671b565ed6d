"""A damaged download is caught: a launcher file whose class-path archive has
one changed byte ends, before Java starts, with the message that it is
damaged (in the user's language), names the entry and both CRC-32s in the run
log and leaves no temporary file; so does one whose index, checksums or
trailer changed, or that was cut short anywhere. Files packed before the
checksums run unchecked, as they always did, and those packed with the
entries' checksums alone are checked as they were."""

import os
import shutil
import unittest
import zlib

import harness
from launcherfiles import FAILED_RUN, as_older_nvpack_wrote, index_entries, pack, read_text, without_checksums

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

    def damaged_variants(self, path):
        """Copies of the launcher file at path (the jar last) with its index,
        checksums or trailer changed, or cut short: [(what, path)]."""
        with open(path, "rb") as f:
            image = f.read()
        index_offset, entries = index_entries(image)
        fields = []  # per entry: where its type, length and name lie
        at = index_offset + 4
        for _, _, name, _, _ in entries:
            fields.append((at, at + 5, at + 15))
            at += 15 + len(name) + 1
        jar_type, jar_length, jar_name = fields[2]
        script_type = fields[1][0]

        def changed(edit):
            copy = bytearray(image)
            edit(copy)
            return copy

        def flip(at, bit):
            return lambda b: b.__setitem__(at, b[at] ^ bit)

        def swap_types(b):
            b[script_type], b[jar_type] = b[jar_type], b[script_type]

        jar_at = image.find(JAR)
        variants = [
            ("the jar's length with bit 4 flipped", changed(flip(jar_length + 3, 0x10))),
            ("the checksums' magic value with a bit flipped", changed(flip(index_offset - 1, 0x01))),
            ("the checksums' count with a bit flipped", changed(flip(index_offset - 5, 0x01))),
            ("lib.jar renamed lib.kar", changed(flip(jar_name + 4, ord("j") ^ ord("k")))),
            ("the types of two entries swapped", changed(swap_types)),
            ("the mode byte changed", changed(flip(len(image) - 9, 0x02))),
            ("cut inside the jar", image[:jar_at + 10]),
            ("cut inside the index", image[:index_offset + 6]),
            ("cut inside the trailer", image[:-3]),
        ]
        paths = []
        for i, (what, data) in enumerate(variants):
            copy = os.path.join(self.d, "variant%d.exe" % i)
            with open(copy, "wb") as f:
                f.write(data)
            paths.append((what, copy))
        return paths

    def test_a_changed_index_checksum_block_or_trailer_and_a_cut_file_are_damaged(self):
        path, home = self.launcher()
        for what, variant in self.damaged_variants(path):
            with self.subTest(what):
                # Launched: nothing reaches Java.
                result, log, java_ran = self.run_logged(variant, home)
                self.assertEqual(result.exit_code, FAILED_RUN, log)
                self.assertFalse(java_ran)
                self.assertTrue(log.endswith("ERROR: " + DAMAGED["en_US.UTF-8"] + "\n"), log)
                # Extracted: nothing is written, not even the input file.
                out = os.path.join(self.d, "out")
                shutil.rmtree(out, ignore_errors=True)
                os.makedirs(out)
                result = self.s.run(variant, ["-nv:silent", "-nv:log", "x", "-nv:extract"], cwd=out, timeout=60)
                log = read_text(os.path.join(out, "x"))
                self.assertEqual(result.exit_code, FAILED_RUN, log)
                self.assertEqual(os.listdir(out), ["x"])
                self.assertTrue(log.endswith("ERROR: " + DAMAGED["en_US.UTF-8"] + "\n"), log)
        # The user reads it in the user's language, with nothing in front of it.
        for what, variant in self.damaged_variants(path)[3::5]:
            with self.subTest(what, lang="de_DE"):
                result, log, _ = self.run_logged(variant, home, "de_DE.UTF-8")
                self.assertEqual([box["text"] for box in result.message_boxes], [DAMAGED["de_DE.UTF-8"]])

    def test_a_file_packed_with_the_entries_checksums_alone_is_checked_as_before(self):
        path, home = self.launcher()
        older = as_older_nvpack_wrote(path, os.path.join(self.d, "older.exe"), entry_checksums=True)
        result, log, java_ran = self.run_logged(older, home)
        self.assertEqual(result.exit_code, 7, log)
        self.assertTrue(java_ran)
        result, log, java_ran = self.run_logged(self.damaged_copy(older, "older-damaged.exe"), home)
        self.assertEqual(result.exit_code, FAILED_RUN, log)
        self.assertFalse(java_ran)
        self.assertIn("ERROR: The embedded file lib.jar has the CRC-32 ", log)

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
