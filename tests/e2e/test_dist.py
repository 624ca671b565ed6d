"""The release bundle (scripts/dist.py, which scripts/dist.sh runs after the build) as a user
gets it: unpacked into an empty folder, its SHA256SUMS checked, and the guide's ship-my-jar
example run from there with nothing but the bundle's tools and stubs and, as the Windows Java
runtime, a folder around the Java bridge made by examples/try-on-linux/bridge-runtime.sh.
Built twice, from the build tree under two paths, the zip has the same bytes."""

import os
import re
import shutil
import subprocess
import sys
import time
import unittest
import zipfile

import harness
from launcherfiles import read_text

ROOT = harness.REPO_ROOT
DIST = os.path.join(ROOT, "scripts", "dist.py")


def product_version():
    with open(os.path.join(ROOT, "resources", "Version.h"), encoding="utf-8") as f:
        return re.search(r'#define NV_VERSION_TEXT "([^"]+)"', f.read()).group(1)


def entry_time():
    given = os.environ.get("SOURCE_DATE_EPOCH")
    if given:
        return int(given)
    return int(subprocess.run(["git", "-C", ROOT, "log", "-1", "--format=%ct"], capture_output=True,
                              check=True).stdout.decode())


class DistTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        missing = [tool for tool in ("unzip", "sha256sum", "git") if not shutil.which(tool)]
        if missing:
            raise unittest.SkipTest("no %s on this machine's PATH" % ", ".join(missing))
        cls.s = harness.session()
        cls.d = cls.s.scratch("dist")
        cls.build_root = os.path.dirname(cls.s.build_dir)
        cls.zip = cls.make_bundle(cls.build_root, os.path.join(cls.d, "first"))
        cls.folder = os.path.join(cls.d, "unpacked")
        os.makedirs(cls.folder)
        unpacked = subprocess.run(["unzip", "-q", cls.zip, "-d", cls.folder], capture_output=True, timeout=120)
        assert unpacked.returncode == 0, unpacked.stderr
        cls.bundle = os.path.join(cls.folder, "norvane-" + product_version())

    @classmethod
    def make_bundle(cls, build_root, out):
        made = subprocess.run([sys.executable, DIST, "--build", build_root, "--out", out], capture_output=True,
                              timeout=300)
        assert made.returncode == 0, made.stderr.decode("utf-8", "replace")
        return made.stdout.decode().strip()

    def test_the_zip_is_the_same_twice_and_its_sums_check(self):
        self.assertEqual(os.path.basename(self.zip), "norvane-%s.zip" % product_version())
        # Again, the build tree reached through another path: nothing of it may show.
        link = os.path.join(self.d, "elsewhere")
        os.symlink(self.build_root, link)
        again = self.make_bundle(link, os.path.join(self.d, "second"))
        with open(self.zip, "rb") as a, open(again, "rb") as b:
            self.assertTrue(a.read() == b.read(), "the two bundles differ")

        with zipfile.ZipFile(self.zip) as bundle:
            infos = bundle.infolist()
        names = [info.filename for info in infos]
        self.assertEqual(names, sorted(names))
        # A zip entry's time counts seconds in twos: an odd second reads back one less.
        when = entry_time()
        self.assertEqual({info.date_time for info in infos}, {time.gmtime(when - when % 2)[:6]})
        modes = {info.filename.split("/", 1)[1]: info.external_attr >> 16 for info in infos}
        for name in ("win32/launcher.exe", "win64/launcher.exe", "win32/JvmUnpacker.exe", "win64/JvmUnpacker.exe",
                     "win32/nvpack.exe", "win64/nvpack.exe", "linux/nvpack", "linux/nvjvm"):
            self.assertEqual(modes.get(name), 0o100755, name)
        for name in ("verify.jar", "docs/guide.md", "docs/branded-en.png", "docs/dpi/large-200.png",
                     "examples/ship-my-jar/build.sh", "examples/try-on-linux/bridge-runtime.sh", "SHA256SUMS"):
            self.assertEqual(modes.get(name), 0o100644, name)
        for bits in ("win32", "win64"):
            # nvjvm.exe travels when the Windows build makes it.
            self.assertEqual("%s/nvjvm.exe" % bits in modes,
                             os.path.exists(os.path.join(self.build_root, bits, "nvjvm.exe")), bits)

        checked = subprocess.run(["sha256sum", "--strict", "-c", "SHA256SUMS"], cwd=self.bundle, capture_output=True,
                                 timeout=120)
        self.assertEqual(checked.returncode, 0, checked.stdout + checked.stderr)
        # Every file is listed: a sum missing would let a changed file pass.
        listed = sorted(line.split("  ", 1)[1] for line in read_text(os.path.join(self.bundle, "SHA256SUMS"))
                        .splitlines())
        self.assertEqual(listed, sorted(name for name in modes if name != "SHA256SUMS"))

    def test_ship_my_jar_runs_from_the_unpacked_bundle(self):
        missing = [tool for tool in ("java", "javac", "jar", "openssl", "osslsigncode") if not shutil.which(tool)]
        if missing:
            self.skipTest("no %s on this machine's PATH" % ", ".join(missing))
        s = self.s
        stubs = "win%d" % s.launcher_view
        work = s.scratch("dist-ship-my-jar")
        runtime = os.path.join(work, "runtime")
        env = dict(os.environ, BRIDGE=s.fixture("JavaBridge"), RUNTIME=runtime)
        made = subprocess.run(["bash", "examples/try-on-linux/bridge-runtime.sh"], cwd=self.bundle, env=env,
                              capture_output=True, stdin=subprocess.DEVNULL, timeout=120)
        self.assertEqual(made.returncode, 0, made.stderr)
        version = re.search(r'JAVA_VERSION="(.+)"', read_text(os.path.join(runtime, "release"))).group(1)

        key, cert = os.path.join(work, "key.pem"), os.path.join(work, "cert.pem")
        self.assertEqual(s.run_host(["openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "2",
                                     "-subj", "/CN=Test signer", "-addext", "extendedKeyUsage=codeSigning",
                                     "-keyout", key, "-out", cert]).returncode, 0)
        env = dict(os.environ, RUNTIME=runtime, CERT=cert, KEY=key, STUBS=stubs, TOOLS="linux")
        for name in ("OUT", "NV_NVPACK"):
            env.pop(name, None)
        built = subprocess.run(["bash", "examples/ship-my-jar/build.sh"], cwd=self.bundle, env=env,
                               capture_output=True, stdin=subprocess.DEVNULL, timeout=300)
        self.assertEqual(built.returncode, 0, (built.stdout, built.stderr))
        out = os.path.join(self.bundle, "build", "ship-my-jar")
        self.assertIn("written to build/ship-my-jar/setup.exe", built.stdout.decode("utf-8", "replace"))

        signed = os.path.join(out, "setup-signed.exe")
        result = s.run(signed, ["-nv:silent", "-nv:log", "run.log"], cwd=out, timeout=180)
        log = read_text(os.path.join(out, "run.log"))
        self.assertEqual(result.exit_code, 0, log)
        self.assertIn("Hello App on Java %s, started by %s\n" % (version, os.path.realpath(signed)), log)
        self.assertIn("arguments: welcome\n", log)


if __name__ == "__main__":
    unittest.main()
