"""The tools built for Windows (nvjvm.exe and nvpack.exe of the build under
test) run under Wine on the author's quick start, examples/ship-my-jar, and
write the same bytes as the Linux tools: the carried JVM from a runtime
folder, and the branded launcher file from the example's manifest (with
the same carried JVM). Each Windows run writes over an output left there
before, as a second build would, which a plain rename refuses on Windows."""

import os
import shutil
import unittest

import harness

EXAMPLE = os.path.join(harness.REPO_ROOT, "examples", "ship-my-jar")
# An empty zip archive: the example's jar as far as the tools care.
APP_JAR = b"PK\x05\x06" + b"\0" * 18


def write(path, data):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)


def read(path):
    with open(path, "rb") as f:
        return f.read()


class WindowsToolsTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.s = harness.session()
        cls.host_nvpack = cls.s.nvpack
        cls.host_nvjvm = cls.s.built(os.path.join(os.path.dirname(cls.s.nvpack), "nvjvm"))
        cls.nvpack_exe = cls.s.built(os.path.join(cls.s.build_dir, "nvpack.exe"))
        cls.nvjvm_exe = cls.s.built(os.path.join(cls.s.build_dir, "nvjvm.exe"))
        cls.unpacker = cls.s.built(os.path.join(cls.s.build_dir, "JvmUnpacker.exe"))
        cls.d = cls.s.scratch("windows-tools")
        cls.runtime = cls.make_runtime(os.path.join(cls.d, "jdk-17-win"))
        # One folder per system, each with the example's files as its build script copies them.
        cls.linux_dir, cls.windows_dir = os.path.join(cls.d, "linux"), os.path.join(cls.d, "windows")
        for folder in (cls.linux_dir, cls.windows_dir):
            os.makedirs(folder)
            for name in ("app.nvpack", "instructions.tag", "launchscript.tag", "app.ico"):
                shutil.copyfile(os.path.join(EXAMPLE, name), os.path.join(folder, name))
            write(os.path.join(folder, "app.jar"), APP_JAR)
        # The Linux nvjvm's carried JVM, packed by both systems' nvpack.
        cls.linux_jvm = os.path.join(cls.linux_dir, "jvmsetup.exe")
        built = cls.s.run_host([cls.host_nvjvm, "--runtime", cls.runtime, "--unpacker", cls.unpacker,
                                "--out", cls.linux_jvm, "--desc", "Hello App runtime"])
        if built.returncode != 0:
            raise AssertionError("nvjvm failed: %r" % built.stderr)
        shutil.copyfile(cls.linux_jvm, os.path.join(cls.windows_dir, "jvmsetup.exe"))

    @classmethod
    def make_runtime(cls, directory):
        """A small Windows Java runtime folder: bin\\java.exe, release, nested
        files and an empty folder, with names whose order depends on case."""
        write(os.path.join(directory, "bin", "java.exe"), read(cls.s.fixture("StandInJava")))
        write(os.path.join(directory, "release"), b'IMPLEMENTOR="Norvane test"\nJAVA_VERSION="17.0.9"\n')
        write(os.path.join(directory, "lib", "modules"), b"module data " * 50000 + os.urandom(70000))
        write(os.path.join(directory, "lib", "security", "java.policy"), b"grant { };\n")
        write(os.path.join(directory, "lib", "Zeta.properties"), b"z=1\n")
        write(os.path.join(directory, "lib", "alpha.properties"), b"a=1\n")
        os.makedirs(os.path.join(directory, "conf", "empty"))
        return directory

    def run_windows(self, program, args, cwd):
        """Runs a Windows tool with cwd as its working directory, over an old output."""
        result = self.s.run(program, args, cwd=cwd, timeout=120)
        self.assertEqual(result.exit_code, 0, (result.stdout, result.stderr[-2000:]))
        return result

    def test_nvjvm_exe_writes_the_carried_jvm_of_the_linux_nvjvm(self):
        windows_out = os.path.join(self.windows_dir, "jvmsetup-win.exe")
        write(windows_out, b"an older carried JVM")
        result = self.run_windows(self.nvjvm_exe, [
            "--runtime", self.s.windows_path(self.runtime), "--unpacker", self.s.windows_path(self.unpacker),
            "--out", "jvmsetup-win.exe", "--desc", "Hello App runtime"], cwd=self.windows_dir)
        self.assertIn(b"java.version=17.0.9, bin\\java.exe; 6 files in 5 directories", result.stdout)
        self.assertEqual(read(windows_out), read(self.linux_jvm))
        self.assertFalse(os.path.exists(windows_out + ".nvjvm-tmp"))

    def test_nvpack_exe_packs_the_launcher_file_of_the_linux_nvpack(self):
        packed = self.s.run_host([self.host_nvpack, "--stub", self.s.launcher, "--manifest",
                                  os.path.join(self.linux_dir, "app.nvpack")])
        self.assertEqual(packed.returncode, 0, packed.stderr)
        write(os.path.join(self.windows_dir, "setup.exe"), b"an older setup.exe")
        result = self.run_windows(self.nvpack_exe, ["--stub", self.s.windows_path(self.s.launcher),
                                                    "--manifest", "app.nvpack"], cwd=self.windows_dir)
        self.assertIn(b'entry: type 4, id 3, name "jvmsetup.exe"', result.stdout)
        self.assertEqual(read(os.path.join(self.windows_dir, "setup.exe")),
                         read(os.path.join(self.linux_dir, "setup.exe")))

if __name__ == "__main__":
    unittest.main()
