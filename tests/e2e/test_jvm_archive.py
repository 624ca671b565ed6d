"""Carried JVMs made by nvjvm from a Java runtime folder, end to end: the
launcher installs one made from a small folder of ours (the stand-in Java as
bin\\java.exe) and launches with it; one made around the Java bridge runs the
real Verify on this machine's JDK; and the unpacker refuses damaged or hostile
archives, leaving nothing of its own behind."""

import os
import re
import shutil
import struct
import subprocess
import unittest
import zlib

import harness
from launcherfiles import pack, read_text

OWN_PROGRAM = (b"INSTRUCTIONS:\nINITIALIZE_UI\nINSTALL_JVM 1\nJMP0 @N1@ DO_INSTALL_ELSE\nLAUNCH @S1@ 0\n"
               b"GOTO DO_INSTALL_DONE\n:DO_INSTALL_ELSE\n:DO_INSTALL_DONE\n/:\n")
LAUNCH_SCRIPT = b'DESC: Demo Wizard\nCOMMAND: """@JVM_HOME@\\@JVM_EXE@"" %CP%(""""""setup.jar"""""") run"\n'


def archive_bytes(unpacker, records, expanded_size, data=None):
    """A carried JVM archive written by hand (tools/jvmarchive/JvmArchiveFormat.h),
    for bytes that nvjvm rightly refuses to write. records: ('D', name),
    ('F', name, bytes) or ('J', text); data replaces the compressed stream."""
    raw = b""
    for record in records:
        kind = record[0].encode()
        if kind == b"J":
            raw += kind + struct.pack(">I", len(record[1])) + record[1]
        else:
            name = record[1].encode()
            raw += kind + struct.pack(">H", len(name)) + name
            if kind == b"F":
                raw += struct.pack(">Q", len(record[2])) + record[2]
    data = zlib.compress(raw, 9) if data is None else data
    with open(unpacker, "rb") as f:
        program = f.read()
    return program + data + struct.pack(">QQQ", len(program), len(data), expanded_size) + b"NVJVMAR1"


class JvmArchiveTest(unittest.TestCase):
    def setUp(self):
        self.s = harness.session()
        self.unpacker = os.path.join(self.s.build_dir, "JvmUnpacker.exe")
        self.nvjvm = os.path.join(os.path.dirname(self.s.nvpack), "nvjvm")
        for program in (self.unpacker, self.nvjvm, self.s.fixture("StandInJava")):
            self.s.built(program)

    def runtime(self, directory, java, version):
        """A small Java runtime folder: bin/java.exe, release, a few nested files."""
        os.makedirs(os.path.join(directory, "bin"))
        shutil.copyfile(java, os.path.join(directory, "bin", "java.exe"))
        with open(os.path.join(directory, "release"), "w") as f:
            f.write('IMPLEMENTOR="Norvane test"\nJAVA_VERSION="%s"\n' % version)
        os.makedirs(os.path.join(directory, "lib", "security"))
        with open(os.path.join(directory, "lib", "modules"), "wb") as f:
            f.write(b"module data " * 50000 + os.urandom(70000))
        with open(os.path.join(directory, "lib", "security", "java.policy"), "w") as f:
            f.write("grant { };\n")
        os.makedirs(os.path.join(directory, "conf", "empty"))
        return directory

    def make_archive(self, runtime, out, desc=None):
        args = [self.nvjvm, "--runtime", runtime, "--unpacker", self.unpacker, "--out", out]
        result = self.s.run_host(args + (["--desc", desc] if desc else []))
        self.assertEqual(result.returncode, 0, result.stderr)
        with open(out, "rb") as f:
            return f.read()

    def install_action(self, d, archive, dest):
        os.makedirs(dest, exist_ok=True)
        with open(os.path.join(d, "in.tag"), "w") as f:
            f.write("ACTION: INSTALL_JVM\nINSTALL_JVM_EXE: %s\nINSTALL_JVM_DEST: %s\n"
                    % (self.s.windows_path(archive), self.s.windows_path(dest)))
        result = self.s.run(self.s.launcher, ["-nv:silent", "-nv:in", "in.tag"], cwd=d, timeout=60)
        self.assertEqual(result.exit_code, 0)
        self.assertEqual(result.text, self.s.windows_path(dest) + "\\jvm\n")

    def test_the_install_action_lays_out_the_runtime_and_its_jvm_file(self):
        d = self.s.scratch("jvmarchive-action")
        runtime = self.runtime(os.path.join(d, "runtime"), self.s.fixture("StandInJava"), "11.0.22")
        archive = os.path.join(d, "jvm.exe")
        self.make_archive(runtime, archive, desc='Our "small" runtime')
        dest = os.path.join(d, "dest")
        self.install_action(d, archive, dest)
        # The tree is the folder's, byte for byte, plus the jvm file.
        self.assertEqual(harness.list_files(dest), sorted(harness.list_files(runtime) + ["jvm"]))
        for name in ("bin/java.exe", "lib/modules", "lib/security/java.policy", "release"):
            with open(os.path.join(runtime, name), "rb") as a, open(os.path.join(dest, name), "rb") as b:
                self.assertEqual(a.read(), b.read(), name)
        text = read_text(os.path.join(dest, "jvm"))
        for line in ('DESC:  "Our ""small"" runtime"\n', "JVM_EXE:  bin\\java.exe\n",
                     "JVM_PROPERTIES:  java.version=11.0.22\n", "JVM_HOME:  " + self.s.windows_path(dest) + "\n",
                     "JVM_TEMP:  0\n"):
            self.assertIn(line, text)

    def test_the_launchers_own_program_installs_it_and_launches(self):
        d = self.s.scratch("jvmarchive-own-program")
        runtime = self.runtime(os.path.join(d, "runtime"), self.s.fixture("StandInJava"), "17.0.1")
        archive = self.make_archive(runtime, os.path.join(d, "jvm.exe"))
        path = pack(self.s, d, [(0, 1, "prog.tag", OWN_PROGRAM), (2, 2, "launch.tag", LAUNCH_SCRIPT),
                                (4, 3, "jvmsetup.exe", archive)], mode=0)
        record = os.path.join(d, "record.txt")
        before = self.s.temporary_names()
        result = self.s.run(path, ["-nv:silent", "-nv:log", "x"], cwd=d,
                            env={"NV_STANDIN_RECORD": self.s.windows_path(record)}, timeout=60)
        self.assertEqual(result.exit_code, 0, read_text(os.path.join(d, "x")))
        with open(record, "rb") as f:
            lines = f.read().decode("utf-8").splitlines()
        java_home = [line for line in lines if line.startswith("JAVA_HOME=")][0].split("=", 1)[1]
        self.assertTrue(java_home.startswith(self.s.windows_path(self.s.temp_dir) + "\\LRE"), java_home)
        self.assertIn('commandline="%s\\bin\\java.exe" -cp' % java_home, "\n".join(lines))
        self.assertIn("arg3=run", lines)
        self.assertEqual(self.s.temporary_names(), before)  # the installed runtime went with the run

    def test_a_runtime_around_the_bridge_passes_the_real_verify(self):
        java = shutil.which("java")
        jar = os.path.join(os.path.dirname(self.s.nvpack), "verify.jar")
        bridge = self.s.fixture("JavaBridge")
        if not java or not os.path.exists(jar):
            self.skipTest("no java on PATH or no verify.jar (made only where javac is)")
        settings = subprocess.run([java, "-XshowSettings:properties", "-version"], capture_output=True,
                                  timeout=60).stderr.decode()
        version = re.search(r"^\s*java\.version = (\S+)$", settings, re.M).group(1)
        d = self.s.scratch("jvmarchive-bridge")
        runtime = os.path.join(d, "runtime")
        os.makedirs(os.path.join(runtime, "bin"))
        shutil.copyfile(bridge, os.path.join(runtime, "bin", "java.exe"))
        with open(os.path.join(runtime, "release"), "w") as f:
            f.write('JAVA_VERSION="%s"\n' % version)
        archive = os.path.join(d, "jvm.exe")
        self.make_archive(runtime, archive)
        dest = os.path.join(d, "dest")
        self.install_action(d, archive, dest)
        self.assertIn("JVM_PROPERTIES:  java.version=%s\n" % version, read_text(os.path.join(dest, "jvm")))

        with open(jar, "rb") as f:
            launcher = pack(self.s, d, [(5, 1, "verify.jar", f.read())], name="verifier.exe")
        with open(os.path.join(d, "verify.tag"), "w") as f:
            f.write("ACTION: VERIFY_JVM\nLOGFILE: verify.log\nVERIFY_JVM_FILE: %s\\jvm\nVERIFY_JVM_HOME: %s\n"
                    % (self.s.windows_path(dest), self.s.windows_path(dest)))
        result = self.s.run(launcher, ["-nv:silent", "-nv:in", "verify.tag"], cwd=d, timeout=120)
        log = read_text(os.path.join(d, "verify.log"))
        self.assertEqual(result.exit_code, 0, log)
        self.assertEqual(result.text, "1\n", log)  # the real Verify printed this JDK's java.version
        self.assertIn("After VERIFY, the jvm home is " + self.s.windows_path(dest) + "\n", log)

    def test_the_unpacker_refuses_bad_archives_and_removes_what_it_wrote(self):
        good = [("D", "lib"), ("D", "lib\\sub"), ("F", "lib\\sub\\a.txt", b"x" * 1000)]
        jvm = ("J", b"DESC: x\nJVM_EXE: bin\\java.exe\n")
        only_a_directory = zlib.compress(b"D\0\3lib", 9)
        cases = [
            # (name, records, expanded size, compressed data or None, files there before, exit code, message)
            ("parent", good + [("F", "..\\escaped.txt", b"bad"), jvm], 1003, None, [], 1, "has a part . or .."),
            ("rooted", good + [("F", "\\rooted.txt", b"bad"), jvm], 1003, None, [], 1, "has an empty part"),
            ("drive", good + [("F", "C:\\drive.txt", b"bad"), jvm], 1003, None, [], 1, "holds / or :"),
            ("cut short", [], 1000, zlib.compress(b"D\0\3libF\0\5lib\\b" + b"\0" * 7 + b"\5abcde", 9)[:-6],
             [], 1, "cut short"),
            ("no jvm file", [], 0, only_a_directory, [], 1, "ends inside a record"),
            ("file there", good + [jvm], 1000, None, ["lib/sub/a.txt"], 2, "cannot create the file lib\\sub\\a.txt"),
            ("jvm there", good + [jvm], 1000, None, ["jvm"], 2, "a file or directory named jvm is already there"),
            ("no room", good + [jvm], 1 << 62, None, [], 2, "not enough free space"),
            ("linked directory", good + [jvm], 1000, None, ["lib -> elsewhere"], 2,
             "the directory lib is already there as a link"),
            # Without a record of its own, lib would be taken as it stands: through the link.
            ("file below a link", [("F", "lib\\evil.dll", b"bad"), jvm], 3, None, ["lib -> elsewhere"], 1,
             'holds the file "lib\\evil.dll" without a directory record for "lib" before it'),
            ("directory below a link", [("D", "lib\\sub"), ("F", "lib\\sub\\evil.dll", b"bad"), jvm], 3, None,
             ["lib -> elsewhere"], 1, 'holds the directory "lib\\sub" without a directory record for "lib" before it'),
        ]
        for name, records, expanded, data, existing, code, message in cases:
            with self.subTest(name):
                d = self.s.scratch("jvmarchive-refused-" + name.replace(" ", "-"))
                work = os.path.join(d, "work")
                os.makedirs(work)
                for path in existing:
                    if " -> " in path:  # a link to a directory beside the work directory
                        link, target = path.split(" -> ")
                        os.makedirs(os.path.join(d, target))
                        os.symlink(os.path.join(d, target), os.path.join(work, link))
                        continue
                    os.makedirs(os.path.dirname(os.path.join(work, path)) or work, exist_ok=True)
                    with open(os.path.join(work, path), "w") as f:
                        f.write("mine")
                with open(os.path.join(work, "jvmsetup.exe"), "wb") as f:
                    f.write(archive_bytes(self.unpacker, records, expanded, data))
                before = harness.list_files(work)
                result = self.s.run(os.path.join(work, "jvmsetup.exe"), cwd=work, timeout=60)
                self.assertEqual(result.exit_code, code, result.stderr)
                self.assertIn(message, result.stderr.decode("utf-8", "replace"))
                self.assertEqual(harness.list_files(work), before)
                for other in os.listdir(d):  # nothing escaped upwards
                    self.assertTrue(other == "work" or harness.list_files(os.path.join(d, other)) == [], other)
                for path in (p for p in existing if " -> " not in p):
                    with open(os.path.join(work, path)) as f:
                        self.assertEqual(f.read(), "mine")


if __name__ == "__main__":
    unittest.main()
