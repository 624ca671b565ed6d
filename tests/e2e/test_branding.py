"""Branded launchers: nvpack writes an icon, version information and the manifest's
execution level into the stub. Debian's pefile reads them back independently, Windows
reads them back through its own resource and version functions (the ResourceProbe
fixture), and the branded launcher still runs its program and shows its dialog."""

import json
import os
import struct
import subprocess
import unittest

import harness
from launcherfiles import FAILED_RUN

# pefile is installed for Debian's Python, which the python3 on PATH need not be.
DEBIAN_PYTHON = "/usr/bin/python3"

BRANDING = {
    "--product-name": "Acme Installer",
    "--product-version": "3.14.159.2",
    "--company": "Acme \u00c9quipe Ltd",
    "--description": "Acme setup",
    "--copyright": "\u00a9 2026 Acme",
    "--execution-level": "requireAdministrator",
}


# What a branded mode-0 launcher explains, by language: (LC_ALL, the code page of a
# narrow load, the text with the product name "Hello App").
PRODUCT_TEXTS = [
    ("en_US.UTF-8", "cp1252", "Hello App is preparing the setup wizard, which\nwill guide you through the rest "
                              "of the process.\nPlease wait..."),
    ("de_DE.UTF-8", "cp1252", "Hello App bereitet den Setup-Assistenten vor,\nder Sie durch den restlichen "
                              "Vorgang f\u00fchren wird.\nBitte warten..."),
    ("ja_JP.UTF-8", "cp932", "Hello App \u306f\u3001\u6b8b\u308a\u306e\u51e6\u7406\u3092\u6848\u5185\u3059"
                             "\u308b\n\u30bb\u30c3\u30c8\u30a2\u30c3\u30d7 \u30a6\u30a3\u30b6\u30fc\u30c9"
                             "\u3092\u6e96\u5099\u3057\u3066\u3044\u307e\u3059\u3002\n\u3057\u3070\u3089"
                             "\u304f\u304a\u5f85\u3061\u304f\u3060\u3055\u3044..."),
]


def icon_file(path, sizes):
    """Writes an .ico of 32-bit images, one per size, each of one colour of its own;
    returns [(directory entry without offset, image bytes)] as the file holds them."""
    images = []
    for n, size in enumerate(sizes):
        header = struct.pack("<IiiHHIIiiII", 40, size, 2 * size, 1, 32, 0, 0, 0, 0, 0, 0)
        pixels = struct.pack("<BBBB", 40 * n, 200, 255 - 40 * n, 255) * (size * size)
        mask = b"\0" * (((size + 31) // 32 * 4) * size)
        data = header + pixels + mask
        images.append((struct.pack("<BBBBHHI", size % 256, size % 256, 0, 0, 1, 32, len(data)), data))
    offset = 6 + 16 * len(images)
    out = struct.pack("<HHH", 0, 1, len(images))
    for entry, data in images:
        out += entry + struct.pack("<I", offset)
        offset += len(data)
    out += b"".join(data for _, data in images)
    with open(path, "wb") as f:
        f.write(out)
    return images


def stub_part(path):
    """The executable in front of a launcher file's payload: up to its first entry."""
    with open(path, "rb") as f:
        data = f.read()
    index = struct.unpack(">I", data[-8:-4])[0]
    count, = struct.unpack(">i", data[index:index + 4])
    first = index if count == 0 else struct.unpack(">i", data[index + 13:index + 17])[0]
    return data[:first]


# Run by Debian's Python: prints what pefile reads from a file, as JSON.
PEFILE_READER = r"""
import json, sys, pefile
pe = pefile.PE(sys.argv[1])
out = {"warnings": pe.get_warnings(), "checksum_ok": pe.verify_checksum(), "strings": {}, "fixed": None,
       "resources": {}, "sections": [], "size_of_image": pe.OPTIONAL_HEADER.SizeOfImage,
       "alignment": pe.OPTIONAL_HEADER.SectionAlignment,
       "directories": {d.name: [d.VirtualAddress, d.Size] for d in pe.OPTIONAL_HEADER.DATA_DIRECTORY}}
for info in getattr(pe, "FileInfo", []):
    for block in info:
        for table in getattr(block, "StringTable", []):
            out["strings"].update({k.decode("utf-8"): v.decode("utf-8") for k, v in table.entries.items()})
if hasattr(pe, "VS_FIXEDFILEINFO"):
    f = pe.VS_FIXEDFILEINFO[0]
    out["fixed"] = [f.FileVersionMS, f.FileVersionLS, f.ProductVersionMS, f.ProductVersionLS]
for kind in pe.DIRECTORY_ENTRY_RESOURCE.entries:
    for name in kind.directory.entries:
        for lang in name.directory.entries:
            d = lang.data.struct
            key = "%s/%s/%s" % (kind.id, name.id if name.id is not None else str(name.name), lang.id)
            out["resources"][key] = pe.get_data(d.OffsetToData, d.Size).hex()
for s in pe.sections:
    out["sections"].append([s.Name.rstrip(b"\0").decode(), s.VirtualAddress, s.Misc_VirtualSize,
                            s.PointerToRawData, s.SizeOfRawData])
print(json.dumps(out))
"""


def read_with_pefile(path):
    done = subprocess.run([DEBIAN_PYTHON, "-c", PEFILE_READER, path], capture_output=True, timeout=120)
    if done.returncode != 0:
        raise AssertionError("pefile could not read %s: %s" % (path, done.stderr.decode(errors="replace")))
    return json.loads(done.stdout)


def version_words(text):
    parts = [int(p) for p in text.split(".")]
    return [parts[0] << 16 | parts[1], parts[2] << 16 | parts[3]]


class BrandingTest(unittest.TestCase):
    def setUp(self):
        self.s = harness.session()
        for needed in (self.s.launcher, self.s.nvpack):
            self.s.built(needed)
        if not os.path.exists(DEBIAN_PYTHON):
            self.skipTest("Debian's python3 (with pefile) is missing")

    def pack(self, directory, program, options, mode=2):
        with open(os.path.join(directory, "p.tag"), "w") as f:
            f.write("INSTRUCTIONS:\n" + "".join(line + "\n" for line in program) + "/:\n")
        with open(os.path.join(directory, "s.tag"), "w") as f:
            f.write("DESC: Acme Setup\n")
        out = os.path.join(directory, "setup.exe")
        args = [self.s.nvpack, "--stub", self.s.launcher, "--out", out, "--mode", mode, "--no-check",
                "--entry", 0, 1, "p.tag", os.path.join(directory, "p.tag"),
                "--entry", 2, 2, "s.tag", os.path.join(directory, "s.tag")]
        for option, value in options.items():
            args += [option, value]
        done = self.s.run_host(args)
        self.assertEqual(done.returncode, 0, done.stderr)
        return out

    def test_an_unbranded_launcher_carries_the_stub_byte_for_byte(self):
        path = self.pack(self.s.scratch("unbranded"), ["INITIALIZE_UI"], {})
        with open(self.s.launcher, "rb") as f:
            self.assertEqual(stub_part(path), f.read())

    def test_pefile_and_windows_read_the_branding_back(self):
        directory = self.s.scratch("branded")
        icon = os.path.join(directory, "acme.ico")
        images = icon_file(icon, [16, 32, 48])
        path = self.pack(directory, ["INITIALIZE_UI"], dict(BRANDING, **{"--icon": icon}))
        stub = os.path.join(directory, "stub.exe")
        with open(stub, "wb") as f:
            f.write(stub_part(path))
        before = read_with_pefile(self.s.launcher)
        after = read_with_pefile(stub)
        whole = read_with_pefile(path)

        self.assertEqual(after["warnings"], [])
        self.assertEqual(whole["warnings"], [])
        self.assertTrue(after["checksum_ok"], "the branded stub's PE checksum is wrong")
        # Version information: the branded texts, the stub's other ones kept.
        expected = dict(before["strings"], ProductName=BRANDING["--product-name"], CompanyName=BRANDING["--company"],
                        FileDescription=BRANDING["--description"], LegalCopyright=BRANDING["--copyright"],
                        ProductVersion=BRANDING["--product-version"], FileVersion=BRANDING["--product-version"],
                        InternalName="setup", OriginalFilename="setup.exe")
        self.assertEqual(after["strings"], expected)
        words = version_words(BRANDING["--product-version"])
        self.assertEqual(after["fixed"], words + words)

        # Icon 102 holds the file's images, in its order, and nothing else of the old icon is left.
        resources = after["resources"]
        group_key = [k for k in resources if k.startswith("14/102/")]
        self.assertEqual(len(group_key), 1, group_key)
        group = bytes.fromhex(resources[group_key[0]])
        self.assertEqual(struct.unpack("<HHH", group[:6]), (0, 1, len(images)))
        icons = {k.split("/")[1]: bytes.fromhex(v) for k, v in resources.items() if k.startswith("3/")}
        ids = []
        for i, (entry, data) in enumerate(images):
            record = group[6 + 14 * i:6 + 14 * (i + 1)]
            self.assertEqual(record[:12], entry)
            ids.append(str(struct.unpack("<H", record[12:])[0]))
            self.assertEqual(icons[ids[-1]], data)
        self.assertEqual(sorted(icons), sorted(ids))

        # The manifest differs in the requested level and where it names the product; the string
        # tables in string 31 alone (see test_the_product_name_replaces_the_launchers_own); every
        # other resource is untouched.
        manifest = [k for k in resources if k.startswith("24/")][0]
        self.assertEqual(bytes.fromhex(resources[manifest]).decode(),
                         bytes.fromhex(before["resources"][manifest]).decode().replace(
                             'level="asInvoker"', 'level="requireAdministrator"').replace(
                             'name="Norvane.Launcher"', 'name="Acme.Installer"').replace(
                             "<description>Norvane launcher<", "<description>Acme Installer<").replace(
                             'version="2.51.0.0" processorArchitecture', 'version="3.14.159.2" processorArchitecture'))
        untouched = {k: v for k, v in before["resources"].items()
                     if k.split("/")[0] not in ("3", "14", "16", "24") and not k.startswith("6/2/")}
        self.assertEqual({k: resources[k] for k in untouched}, untouched)

        # Sections follow each other in memory and in the file, the image ends with the last.
        sections = after["sections"]
        align = after["alignment"]
        for previous, section in zip(sections, sections[1:]):
            self.assertEqual(section[1], (previous[1] + previous[2] + align - 1) // align * align, section)
            if section[4]:
                self.assertGreaterEqual(section[3], previous[3] + previous[4], section)
        last = sections[-1]
        self.assertEqual(after["size_of_image"], (last[1] + last[2] + align - 1) // align * align)
        rsrc = [s for s in sections if s[0] == ".rsrc"][0]
        self.assertEqual(after["directories"]["IMAGE_DIRECTORY_ENTRY_RESOURCE"], [rsrc[1], rsrc[2]])
        reloc = [s for s in sections if s[0] == ".reloc"][0]
        self.assertEqual(after["directories"]["IMAGE_DIRECTORY_ENTRY_BASERELOC"][0], reloc[1])
        old_reloc = [s for s in before["sections"] if s[0] == ".reloc"][0]
        with open(self.s.launcher, "rb") as f:
            original = f.read()
        with open(stub, "rb") as f:
            branded = f.read()
        self.assertEqual(branded[reloc[3]:reloc[3] + reloc[2]], original[old_reloc[3]:old_reloc[3] + old_reloc[2]])

        # What Windows reads, with a program of the stub's own bitness.
        probe = self.s.run(self.s.fixture("ResourceProbe"), [self.s.windows_path(path)], timeout=60)
        self.assertEqual(probe.exit_code, 0, probe.stdout)
        lines = probe.stdout.decode("utf-8").replace("\r\n", "\n").splitlines()
        self.assertFalse([line for line in lines if line.startswith("error")], lines)
        for key in ("ProductName", "CompanyName", "FileDescription", "LegalCopyright", "ProductVersion", "FileVersion"):
            self.assertIn("string %s=%s" % (key, expected[key]), lines)
        self.assertIn("fixed file=3.14.159.2 product=3.14.159.2", lines)
        self.assertIn("group count=3", lines)
        for (entry, data), image_id in zip(images, ids):
            size = entry[0]
            self.assertIn("entry %dx%d bits=32 bytes=%d id=%s found=%d" % (size, size, len(data), image_id, len(data)),
                          lines)
        self.assertIn("icon 16=16x16", lines)
        self.assertIn("icon 32=32x32", lines)
        self.assertIn("level=requireAdministrator", lines)
        self.assertIn("identity=Acme.Installer", lines)
        self.assertIn("description=Acme Installer", lines)
        texts = [line for line in lines if line.startswith("text31 ")]
        self.assertEqual(len(texts), 27, texts)
        for line in texts:
            self.assertIn("=Acme Installer", line)
            self.assertNotIn("Norvane", line)

    def test_the_product_name_replaces_the_launchers_own(self):
        """A mode-0 launcher shows the author's product in the user's language; Windows
        reads the author's product in every language's text, the manifest and the file
        description; a launcher branded without a product name keeps the stub's."""
        directory = self.s.scratch("product-name")
        path = self.pack(directory, ["INITIALIZE_UI", "GOTO NOWHERE"],
                         {"--product-name": "Hello App"}, mode=0)
        for lang, codepage, text in PRODUCT_TEXTS:
            with self.subTest(lang=lang):
                # The bad jump fails while the window shows; its box keeps the run alive for the watcher.
                result = self.s.run(path, watch=True, timeout=30, lang=lang)
                self.assertEqual(result.exit_code, FAILED_RUN)
                shown = [p for p in result.progress if p["visible"]]
                self.assertTrue(shown, "the dialog was never visible")
                self.assertTrue(shown[-1]["detail_visible"])
                self.assertEqual(shown[-1]["detail"], text)
                self.assertEqual(shown[-1]["detail_ansi"], text.encode(codepage).hex())

        probe = self.s.run(self.s.fixture("ResourceProbe"), [self.s.windows_path(path)], timeout=60)
        lines = probe.stdout.decode("utf-8").replace("\r\n", "\n").splitlines()
        self.assertFalse([line for line in lines if line.startswith("error")], lines)
        self.assertFalse([line for line in lines if "Norvane" in line], lines)
        for line in ("string ProductName=Hello App", "string FileDescription=Hello App", "identity=Hello.App",
                     "description=Hello App"):
            self.assertIn(line, lines)
        self.assertEqual(len([line for line in lines if line.startswith("text31 ")]), 27, lines)

        # Without a product name, the string tables are the stub's, byte for byte, and the manifest
        # differs in its version alone.
        plain = self.pack(self.s.scratch("no-product-name"), ["INITIALIZE_UI"],
                          {"--company": "Acme", "--description": "Acme setup", "--product-version": "1.0"})
        stub = os.path.join(directory, "plain-stub.exe")
        with open(stub, "wb") as f:
            f.write(stub_part(plain))
        before = read_with_pefile(self.s.launcher)["resources"]
        after = read_with_pefile(stub)["resources"]
        kept = {k: v for k, v in before.items() if k.split("/")[0] == "6"}
        self.assertEqual({k: after.get(k) for k in kept}, kept)
        manifest = [k for k in before if k.startswith("24/")][0]
        self.assertEqual(bytes.fromhex(after[manifest]).decode(), bytes.fromhex(before[manifest]).decode().replace(
            'version="2.51.0.0" processorArchitecture', 'version="1.0.0.0" processorArchitecture'))

    def test_a_branded_launcher_names_its_product_and_nothing_of_the_launcher(self):
        """The version block names the output, not the stub; the manifest carries the
        product version in four parts; -nv:version answers with the product."""
        directory = self.s.scratch("branded-version")
        path = self.pack(directory, ["INITIALIZE_UI"], {"--product-name": "Acme Installer", "--product-version": "3.2"})
        stub = os.path.join(directory, "stub.exe")
        with open(stub, "wb") as f:
            f.write(stub_part(path))
        read = read_with_pefile(stub)
        strings = read["strings"]
        self.assertEqual((strings["InternalName"], strings["OriginalFilename"]), ("setup", "setup.exe"))
        self.assertEqual((strings["ProductName"], strings["ProductVersion"]), ("Acme Installer", "3.2"))
        for text in ("launcher.exe", "Norvane"):
            self.assertFalse([k for k, v in strings.items() if text in v], strings)
        manifest = bytes.fromhex([v for k, v in read["resources"].items() if k.startswith("24/")][0]).decode()
        self.assertIn('<assemblyIdentity type="win32" name="Acme.Installer" version="3.2.0.0"', manifest)

        # The box keeps the run alive while the watcher reads it.
        result = self.s.run(path, ["-nv:version"], watch=True, timeout=30)
        self.assertEqual(result.exit_code, 0)
        boxes = result.message_boxes
        self.assertEqual(len(boxes), 1, boxes)
        self.assertEqual(boxes[0]["caption"], "Acme Installer")
        self.assertEqual(boxes[0]["text"].replace("\r\n", "\n"), "Acme Installer 3.2\nlauncher 2.51")

    def test_a_branded_launcher_runs_its_program_and_shows_its_dialog(self):
        directory = self.s.scratch("branded-run")
        icon = os.path.join(directory, "acme.ico")
        icon_file(icon, [16, 32])
        # The bad jump fails while the window shows; its box keeps the run alive for the watcher.
        path = self.pack(directory, ["INITIALIZE_UI", "GOTO NOWHERE"],
                         {"--icon": icon, "--product-name": "Acme", "--execution-level": "highestAvailable"})
        result = self.s.run(path, watch=True, timeout=30)
        self.assertEqual(result.exit_code, FAILED_RUN)
        shown = [p for p in result.progress if p["visible"]]
        self.assertTrue(shown, "the dialog was never visible")
        self.assertEqual(shown[0]["title"], "Acme Setup")
        self.assertEqual(shown[0]["status"], "Initializing Acme Setup...")
        boxes = result.message_boxes
        self.assertEqual(len(boxes), 1, boxes)
        self.assertTrue(boxes[0]["text"].startswith("Error in instructions. "), boxes[0]["text"])


if __name__ == "__main__":
    unittest.main()
