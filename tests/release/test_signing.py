#!/usr/bin/env python3
"""Signs a release with a throwaway certificate and verifies every signature.

A certificate made here (valid a day, trusted by nothing else) signs a copy
of the program as the release build does, then the installers; each of the
five files must carry its valid signature. No time-stamp server is named, so
no network is reached. A certificate named by halves must stop the build.
The signed MSI is the same product as the unsigned one the build made.

Usage: test_signing.py --program Rerevure.exe --actions RerevureActions.dll
           --msi BUILT-x64.msi --arch x86|amd64 --version 1.6.0
           --organisation NAME [unittest options]
Exit code 77 (a skip) when osslsigncode, openssl, makensis or wixl is missing.
"""

import argparse
import os
import shutil
import subprocess
import sys
import tempfile
import unittest

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
MAKE_INSTALLERS = os.path.join(ROOT, "release", "make_installers.py")
SIGNING = os.path.join(ROOT, "release", "signing.py")
SIGNER = "Rerevure Release Test"

ARGS = None


def run(command, env):
    return subprocess.run(command, env=env, stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                          stderr=subprocess.STDOUT, universal_newlines=True)


class Signing(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.dir = tempfile.mkdtemp(prefix="rerevure-signing-")
        key, cert = os.path.join(cls.dir, "key.pem"), os.path.join(cls.dir, "cert.pem")
        cls.cert = cert
        password = os.path.join(cls.dir, "password.txt")
        with open(password, "w") as f:
            f.write("throwaway")
        pfx = os.path.join(cls.dir, "signer.pfx")
        for command in (
                ["openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "1",
                 "-keyout", key, "-out", cert, "-subj", "/CN=" + SIGNER,
                 "-addext", "extendedKeyUsage=codeSigning",
                 "-addext", "keyUsage=digitalSignature"],
                ["openssl", "pkcs12", "-export", "-inkey", key, "-in", cert, "-out", pfx,
                 "-passout", "file:" + password]):
            made = run(command, os.environ)
            if made.returncode != 0:
                raise RuntimeError(" ".join(command[:2]) + " failed:\n" + made.stdout)
        cls.env = {k: v for k, v in os.environ.items() if not k.startswith("REREVURE_SIGN_")}
        cls.env.update(REREVURE_SIGN_PFX=pfx, REREVURE_SIGN_PASSWORD_FILE=password)

        cls.program = os.path.join(cls.dir, "Rerevure.exe")
        shutil.copyfile(ARGS.program, cls.program)
        cls.workdir = os.path.join(cls.dir, "work")
        cls.files = {"program": cls.program,
                     "setup": os.path.join(cls.dir, "setup.exe"),
                     "MSI": os.path.join(cls.dir, "package-x64.msi"),
                     "x86 MSI": os.path.join(cls.dir, "package-x86.msi"),
                     "uninstaller": os.path.join(cls.workdir, "uninstall.exe")}
        cls.built = [run([sys.executable, SIGNING, cls.program], cls.env),
                     run(cls.installers_command(), cls.env)]

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.dir, ignore_errors=True)

    @classmethod
    def installers_command(cls, setup=None):
        return [sys.executable, MAKE_INSTALLERS, "--program", cls.program, "--arch", ARGS.arch,
                "--version", ARGS.version, "--organisation", ARGS.organisation,
                "--setup", setup or cls.files["setup"], "--msi", cls.files["MSI"],
                "--msi-x86", cls.files["x86 MSI"], "--actions", ARGS.actions,
                "--workdir", cls.workdir]

    def verify(self, path):
        return run(["osslsigncode", "verify", "-CAfile", self.cert, "-in", path], os.environ)

    def test_every_release_file_carries_a_valid_signature(self):
        for result in self.built:
            self.assertEqual(result.returncode, 0, result.stdout)
        self.assertNotEqual(self.verify(ARGS.program).returncode, 0,
                            "the unsigned program passes as signed")
        for name, path in self.files.items():
            with self.subTest(name):
                result = self.verify(path)
                self.assertEqual(result.returncode, 0, result.stdout)
                self.assertIn("Subject: /CN=" + SIGNER, result.stdout)

    def test_a_signed_package_is_the_same_product(self):
        # Another program file inside (signed) makes another package, never
        # another product: it must replace the unsigned one, not sit beside it.
        def codes(package):
            out = run(["msiinfo", "export", package, "Property"], os.environ).stdout
            properties = dict(line.split("\t", 1) for line in out.splitlines() if "\t" in line)
            suminfo = run(["msiinfo", "suminfo", package], os.environ).stdout
            return properties["ProductCode"], [l for l in suminfo.splitlines() if "Revision" in l]

        signed, built = codes(self.files["MSI"]), codes(ARGS.msi)
        self.assertEqual(signed[0], built[0])
        self.assertNotEqual(signed[1], built[1], "the package codes")

    def test_a_certificate_named_by_halves_stops_the_build(self):
        missing = os.path.join(self.dir, "no-such.pfx")
        module = self.env["REREVURE_SIGN_PASSWORD_FILE"]  # any file will do
        for change in ({"REREVURE_SIGN_PFX": missing},
                       {"REREVURE_SIGN_PFX": "", "REREVURE_SIGN_PKCS11_MODULE": module}):
            with self.subTest(change):
                setup = os.path.join(self.dir, "half.exe")
                result = run(self.installers_command(setup), dict(self.env, **change))
                self.assertNotEqual(result.returncode, 0, result.stdout)
                self.assertFalse(os.path.exists(setup), "an unsigned setup program was made")


def main():
    global ARGS
    parser = argparse.ArgumentParser(add_help=False)
    for option in ("--program", "--actions", "--msi", "--arch", "--version", "--organisation"):
        parser.add_argument(option, required=True)
    ARGS, rest = parser.parse_known_args()
    missing = [tool for tool in ("osslsigncode", "openssl", "makensis", "wixl", "msiinfo")
               if not shutil.which(tool)]
    if missing:
        print("SKIP: not installed (scripts/install-deps.sh installs them): %s" % missing)
        sys.exit(77)
    unittest.main(argv=[sys.argv[0]] + rest)


if __name__ == "__main__":
    main()
