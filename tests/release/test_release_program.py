#!/usr/bin/env python3
"""Checks the release program file on the build host, without Windows.

The file users get (the stripped copy the installers carry) must be a GUI
program for the expected processor, carry the version block, the manifest
(common controls 6, system DPI aware, asInvoker without uiAccess, the
supported Windows versions), the application icon (group 1, images 30001 to
30020), and import nothing but Windows' own DLLs.

Usage: test_release_program.py --program Rerevure.exe --arch x86|amd64
           --version 1.6.0 --organisation NAME [--built UNSTRIPPED.exe]
           [--setup SETUP.exe] [unittest options]
With --setup the setup program is checked too: same processor, asks for
elevation, carries the product's name, organisation and version.
"""

import argparse
import os
import struct
import sys
import unittest
import xml.etree.ElementTree as ET

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
sys.path.insert(0, os.path.join(ROOT, "tools"))

import pe_inspect  # noqa: E402

ARGS = None

# DLLs that every supported Windows (7 to 11) installs in its system folder.
# A program that needs anything else (the compiler's libstdc++-6.dll,
# libgcc_s_*.dll or libwinpthread-1.dll above all) does not start from a bare
# copy of Rerevure.exe.
WINDOWS_DLLS = {
    "advapi32.dll", "comctl32.dll", "comdlg32.dll", "crypt32.dll", "gdi32.dll",
    "imm32.dll", "kernel32.dll", "msvcrt.dll", "netapi32.dll", "ntdll.dll", "ole32.dll",
    "oleaut32.dll", "rpcrt4.dll", "secur32.dll", "shell32.dll", "shlwapi.dll", "user32.dll",
    "userenv.dll", "uxtheme.dll", "version.dll", "winmm.dll", "wininet.dll",
    "ws2_32.dll",
    "bcrypt.dll",  # BCryptGenRandom: Windows' cryptographic random numbers
}

MACHINES = {"x86": ("i386", "PE32"), "amd64": ("amd64", "PE32+")}
MANIFEST_ARCH = {"x86": "x86", "amd64": "amd64"}

NS = {"asm1": "urn:schemas-microsoft-com:asm.v1",
      "asm3": "urn:schemas-microsoft-com:asm.v3",
      "compat": "urn:schemas-microsoft-com:compatibility.v1",
      "ws2005": "http://schemas.microsoft.com/SMI/2005/WindowsSettings",
      "ws2016": "http://schemas.microsoft.com/SMI/2016/WindowsSettings"}
WINDOWS_7 = "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}"
WINDOWS_10 = "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"
COMMON_CONTROLS_TOKEN = "6595b64144ccf1df"


def foreign_imports(names):
    """The imported DLLs that are not Windows' own, in lower case."""
    return sorted(n.lower() for n in names if n.lower() not in WINDOWS_DLLS)


def symbols_and_sections(path):
    """(number of COFF symbols, section names) of a PE file.

    Section names longer than eight characters ("/4") are looked up in the
    COFF string table, which follows the symbols.
    """
    with open(path, "rb") as f:
        data = f.read()
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    table, count = struct.unpack_from("<II", data, pe + 4 + 8)
    strings = table + 18 * count
    names = []
    for name, *_ in pe_inspect.PEFile(data).sections:
        if name.startswith("/") and table:
            start = strings + int(name[1:])
            name = data[start:data.index(b"\0", start)].decode("latin-1")
        names.append(name)
    return count, names


class ProgramFile(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.report = pe_inspect.inspect(ARGS.program)

    def test_gui_program_for_the_processor(self):
        machine, fmt = MACHINES[ARGS.arch]
        self.assertEqual((self.report["machine"], self.report["format"],
                          self.report["subsystem"]), (machine, fmt, "gui"))

    def test_imports_only_windows_dlls(self):
        imports = self.report["imports"] + self.report["delay_imports"]
        self.assertIn("kernel32.dll", [n.lower() for n in imports])
        self.assertEqual(foreign_imports(imports), [])

    def test_icon_group_1_with_images_30001_to_30020(self):
        group = self.report["icon_groups"].get(1)
        self.assertIsNotNone(group, "no icon group 1")
        ids = [e["id"] for e in group["entries"]]
        self.assertEqual(ids, list(range(30001, 30021)))
        for image in ids:
            self.assertIn(image, self.report["icons"])

    def test_version_block(self):
        version = self.report["version"]
        self.assertIsNotNone(version, "no version resource")
        self.assertEqual(version["key"], "VS_VERSION_INFO")
        four = ARGS.version + ".0"
        self.assertEqual((version["fixed"]["file_version"], version["fixed"]["product_version"]),
                         (four, four))
        # VFT_APP, VOS_NT_WINDOWS32, no debug or pre-release flags.
        self.assertEqual((version["fixed"]["file_type"], version["fixed"]["file_os"],
                          version["fixed"]["file_flags"]), (1, 0x40004, 0))
        self.assertEqual(version["translations"], ["040904b0"])
        strings = version["string_tables"].get("040904b0")
        self.assertIsNotNone(strings, "no U.S. English Unicode string table")
        self.assertEqual(strings["ProductName"], "Rerevure")
        self.assertEqual(strings["CompanyName"], ARGS.organisation)
        self.assertEqual(strings["OriginalFilename"], "Rerevure.exe")
        self.assertEqual(strings["ProductVersion"], ARGS.version)
        self.assertEqual(strings["FileVersion"], four)
        self.assertTrue(strings["FileDescription"].startswith("Rerevure"),
                        "Task Manager names the process by its FileDescription")


class Manifest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        text = pe_inspect.inspect(ARGS.program)["manifest"]
        if text is None:
            raise AssertionError("no manifest resource 1")
        cls.root = ET.fromstring(text.encode("utf-8"))

    def test_identity(self):
        identity = self.root.find("asm1:assemblyIdentity", NS)
        self.assertEqual((identity.get("name"), identity.get("version"),
                          identity.get("processorArchitecture")),
                         ("Rerevure", ARGS.version + ".0", MANIFEST_ARCH[ARGS.arch]))

    def test_common_controls_6(self):
        deps = [d.attrib for d in self.root.iterfind(
            "asm1:dependency/asm1:dependentAssembly/asm1:assemblyIdentity", NS)]
        controls = [d for d in deps if d.get("name") == "Microsoft.Windows.Common-Controls"]
        self.assertEqual(len(controls), 1, deps)
        self.assertEqual((controls[0].get("version"), controls[0].get("publicKeyToken"),
                          controls[0].get("type")), ("6.0.0.0", COMMON_CONTROLS_TOKEN, "win32"))

    def test_runs_as_the_invoker(self):
        levels = self.root.findall(".//asm3:requestedExecutionLevel", NS)
        self.assertEqual(len(levels), 1)
        self.assertEqual((levels[0].get("level"), levels[0].get("uiAccess")),
                         ("asInvoker", "false"))

    def test_system_dpi_aware(self):
        settings = self.root.find("asm3:application/asm3:windowsSettings", NS)
        self.assertIsNotNone(settings, "no windowsSettings")
        self.assertEqual(settings.findtext("ws2005:dpiAware", namespaces=NS).strip(), "true")
        self.assertEqual(settings.findtext("ws2016:dpiAwareness", namespaces=NS).strip(),
                         "system")

    def test_supported_windows_versions(self):
        ids = [e.get("Id").lower() for e in
               self.root.iterfind("compat:compatibility/compat:application/compat:supportedOS", NS)]
        self.assertIn(WINDOWS_7, ids)
        self.assertIn(WINDOWS_10, ids)


@unittest.skipUnless("--built" in sys.argv, "no unstripped program given")
class Stripped(unittest.TestCase):
    def test_no_symbols_or_debug_sections(self):
        count, sections = symbols_and_sections(ARGS.program)
        self.assertEqual(count, 0)
        self.assertIn(".rsrc", sections)
        self.assertEqual([s for s in sections if s.startswith(".debug")], [])
        self.assertLess(os.path.getsize(ARGS.program), os.path.getsize(ARGS.built))


@unittest.skipUnless("--setup" in sys.argv, "no setup program given")
class SetupProgram(unittest.TestCase):
    """The setup program: the same processor, elevated, named after the product."""

    def test_setup_program(self):
        report = pe_inspect.inspect(ARGS.setup)
        self.assertEqual((report["machine"], report["subsystem"]),
                         (MACHINES[ARGS.arch][0], "gui"))
        levels = ET.fromstring(report["manifest"].encode("utf-8")).findall(
            ".//asm3:requestedExecutionLevel", NS)
        self.assertEqual([e.get("level") for e in levels], ["requireAdministrator"])
        strings = report["version"]["string_tables"]["040904b0"]
        self.assertEqual((strings["ProductName"], strings["CompanyName"],
                          strings["ProductVersion"]),
                         ("Rerevure", ARGS.organisation, ARGS.version))
        self.assertEqual(foreign_imports(report["imports"]), [])


class ImportChecker(unittest.TestCase):
    """The import check itself must refuse the compiler's runtime DLLs."""

    def test_refuses_mingw_runtime_dlls(self):
        self.assertEqual(foreign_imports(["KERNEL32.dll", "libstdc++-6.dll",
                                          "libgcc_s_dw2-1.dll", "libwinpthread-1.dll"]),
                         ["libgcc_s_dw2-1.dll", "libstdc++-6.dll", "libwinpthread-1.dll"])


def main():
    global ARGS
    parser = argparse.ArgumentParser(add_help=False)
    parser.add_argument("--program", required=True)
    parser.add_argument("--arch", choices=sorted(MACHINES), required=True)
    parser.add_argument("--version", required=True)
    parser.add_argument("--organisation", required=True)
    parser.add_argument("--built")
    parser.add_argument("--setup")
    ARGS, rest = parser.parse_known_args()
    unittest.main(argv=[sys.argv[0]] + rest)


if __name__ == "__main__":
    main()
