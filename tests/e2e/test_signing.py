"""A launcher file signed after packing, as a release pipeline signs it: the
signature covers the payload, and the launcher still finds its trailer in
front of the certificate table that signing appends. What the signature does
not cover, the certificate table itself, is never read as payload."""

import os
import struct
import unittest

import harness
from launcherfiles import pack, pack_by_hand

PROGRAM = b"INSTRUCTIONS:\nSET N1 = 1\n/:\n"
JAR = b"PK\x03\x04 the wizard's archive " * 40


class SigningTest(unittest.TestCase):
    def setUp(self):
        self.s = harness.session()
        self.d = self.s.scratch("signing")
        # A throw-away self-signed code-signing certificate.
        self.key = os.path.join(self.d, "key.pem")
        self.cert = os.path.join(self.d, "cert.pem")
        self.host(["openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "2",
                   "-subj", "/CN=Norvane test signer", "-addext", "extendedKeyUsage=codeSigning",
                   "-keyout", self.key, "-out", self.cert])

    def host(self, argv):
        result = self.s.run_host(argv, cwd=self.d)
        self.assertEqual(result.returncode, 0, (argv[0], result.stdout, result.stderr))
        return result

    def sign(self, path):
        signed = path[:-4] + "-signed.exe"
        self.host(["osslsigncode", "sign", "-certs", self.cert, "-key", self.key, "-n", "Norvane test",
                   "-in", path, "-out", signed])
        return signed

    def verify(self, path):
        return self.s.run_host(["osslsigncode", "verify", "-CAfile", self.cert, "-in", path], cwd=self.d)

    def test_a_signed_launcher_verifies_runs_and_extracts_its_payload(self):
        entries = [(0, 1, "prog.tag", PROGRAM), (6, 2, "app.jar", JAR)]
        # nvpack aligns the payload, so that signing adds no zeros; a file
        # packed without that alignment gets up to 7 zeros in front of the table.
        for packed in (pack(self.s, self.d, entries, name="aligned.exe"),
                       pack_by_hand(self.s, self.d, [(t, i, n.encode(), b) for t, i, n, b in entries],
                                    name="unaligned.exe")):
            with self.subTest(packed=os.path.basename(packed)):
                signed = self.sign(packed)
                verified = self.verify(signed)
                self.assertEqual(verified.returncode, 0, verified.stdout)
                with open(signed, "rb") as f:
                    image = f.read()
                self.assertGreater(len(image), os.path.getsize(packed))

                log = os.path.join(self.d, "x")
                if os.path.exists(log):
                    os.remove(log)
                result = self.s.run(signed, ["-nv:silent", "-nv:log", "x"], cwd=self.d, timeout=30)
                self.assertEqual(result.exit_code, 0)
                with open(log, encoding="latin-1") as f:
                    text = f.read()
                self.assertIn("  file name: app.jar\n", text)
                self.assertNotIn("ERROR", text)

                out = os.path.join(self.d, "out-" + os.path.basename(packed))
                os.makedirs(out)
                result = self.s.run(signed, ["-nv:silent", "-nv:extract"], cwd=out, timeout=30)
                self.assertEqual(result.exit_code, 0)
                with open(os.path.join(out, "app.jar"), "rb") as f:
                    self.assertEqual(f.read(), JAR)

                # The signature covers the payload: one changed byte of it fails verification.
                at = image.find(JAR) + 10
                tampered = signed[:-4] + "-tampered.exe"
                with open(tampered, "wb") as f:
                    f.write(image[:at] + bytes([image[at] ^ 1]) + image[at + 1:])
                self.assertNotEqual(self.verify(tampered).returncode, 0)

    def test_a_program_planted_in_the_certificate_table_never_runs(self):
        signed = self.sign(pack(self.s, self.d, [(0, 1, "prog.tag", PROGRAM)], name="planted.exe"))
        with open(signed, "rb") as f:
            image = bytearray(f.read())
        # The certificate directory (PE32 or PE32+) and the table it names, which ends the file.
        pe = struct.unpack_from("<I", image, 0x3C)[0]
        optional = pe + 24
        directory = optional + (112 if struct.unpack_from("<H", image, optional)[0] == 0x20B else 96) + 4 * 8
        table, size = struct.unpack_from("<II", image, directory)
        self.assertEqual(table + size, len(image))
        # Behind the signature: another program, its index and a trailer, at
        # the end of the table, whose length and directory entry grow to match.
        planted = b'INSTRUCTIONS:\nMESSAGE "not the signed program"\nEXIT 7\n/:\n'
        program_at = len(image)
        index_at = program_at + len(planted)
        name = b"evil.tag"
        index = struct.pack(">iBiiiH", 1, 0, 1, len(planted), program_at, len(name)) + name + b"\0"
        image += planted + index + struct.pack(">BII", 1, index_at, 0xCA82CA82)
        image += b"\0" * ((8 - len(image) % 8) % 8)
        struct.pack_into("<I", image, table, len(image) - table)  # the WIN_CERTIFICATE's own length
        struct.pack_into("<I", image, directory + 4, len(image) - table)
        tampered = os.path.join(self.d, "planted-tampered.exe")
        with open(tampered, "wb") as f:
            f.write(image)
        # The signature does not cover the table: it still verifies.
        verified = self.verify(tampered)
        self.assertEqual(verified.returncode, 0, verified.stdout)
        log = os.path.join(self.d, "planted.log")
        result = self.s.run(tampered, ["-nv:silent", "-nv:log", "planted.log"], cwd=self.d, timeout=30)
        with open(log, encoding="latin-1") as f:
            text = f.read()
        # The signed program runs (or the file is refused): never the planted one.
        self.assertNotEqual(result.exit_code, 7, text)
        self.assertNotIn("evil.tag", text)
        self.assertEqual(result.exit_code, 0, text)
        self.assertIn("  file name: prog.tag\n", text)

    def test_nvpack_refuses_a_signed_stub(self):
        signed_stub = self.sign(self.copy_of_stub())
        result = self.s.run_host([self.s.nvpack, "--stub", signed_stub, "--out", os.path.join(self.d, "o.exe"),
                                  "--entry", "6", "2", "app.jar", signed_stub])
        self.assertNotEqual(result.returncode, 0)
        self.assertIn(b"carries a signature; pack an unsigned stub and sign the launcher file after packing",
                      result.stderr)
        self.assertFalse(os.path.exists(os.path.join(self.d, "o.exe")))

    def copy_of_stub(self):
        path = os.path.join(self.d, "stub.exe")
        with open(self.s.launcher, "rb") as source, open(path, "wb") as copy:
            copy.write(source.read())
        return path


if __name__ == "__main__":
    unittest.main()
