#!/usr/bin/env python3
"""Checks the application icon: the generator's output and the built program.

Usage: test_app_icon.py [PROGRAM.exe] [unittest options]
Without a program file only the generator and pe_inspect are checked.
"""

import os
import struct
import subprocess
import sys
import tempfile
import unittest

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
sys.path.insert(0, os.path.join(ROOT, "tools"))

import pe_inspect  # noqa: E402

GENERATOR = os.path.join(ROOT, "tools", "make_icon.py")
PROGRAM = None
# The order the program file must list its images in: every size as 24-bit
# followed by 32-bit, small to large.
LAYOUT = [(size, depth) for size in (16, 24, 32, 48, 64, 72, 80, 96, 128, 256)
          for depth in (24, 32)]
IMAGE_IDS = list(range(30001, 30021))


def generate(folder):
    """Run the generator in its own process; return the .ico and .rc paths."""
    ico, rc = os.path.join(folder, "app.ico"), os.path.join(folder, "app.rc")
    subprocess.run([sys.executable, GENERATOR, ico, "--rc", rc], check=True)
    return ico, rc


_SHARED = []


def shared_output():
    """One generator run reused by the checks that only read its output."""
    if not _SHARED:
        folder = tempfile.TemporaryDirectory()
        _SHARED.append((folder, generate(folder.name)))
    return _SHARED[0][0].name, _SHARED[0][1]


def read(path):
    with open(path, "rb") as f:
        return f.read()


def ico_images(data):
    """[(width byte, height byte, bit count, payload)] from an .ico file."""
    reserved, kind, count = struct.unpack_from("<HHH", data)
    assert (reserved, kind) == (0, 1), "not an icon file"
    images = []
    for i in range(count):
        w, h, _, _, _, bits, size, offset = struct.unpack_from(
            "<BBBBHHII", data, 6 + 16 * i)
        images.append((w, h, bits, data[offset:offset + size]))
    return images


def decode(dib):
    """Top-down rows of (alpha or None, BGR bytes, mask bit) of a DIB."""
    _, width, height2, _, bits = struct.unpack_from("<IiiHH", dib)
    height, step = height2 // 2, bits // 8
    stride, mask_stride = (width * step + 3) & ~3, ((width + 31) // 32) * 4
    mask_at = 40 + stride * height
    rows = []
    for y in reversed(range(height)):
        row = dib[40 + y * stride:40 + (y + 1) * stride]
        bits_row = dib[mask_at + y * mask_stride:mask_at + (y + 1) * mask_stride]
        rows.append([(row[x * 4 + 3] if step == 4 else None,
                      row[x * step:x * step + 3],
                      bits_row[x // 8] >> (7 - x % 8) & 1)
                     for x in range(width)])
    return rows


class GeneratedIcon(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.folder, (cls.ico, cls.rc) = shared_output()
        cls.images = ico_images(read(cls.ico))

    def test_repeated_runs_write_identical_files(self):
        with tempfile.TemporaryDirectory() as other:
            generate(other)
            names = sorted(os.listdir(self.folder))
            self.assertEqual(names, sorted(os.listdir(other)))
            for name in names:
                self.assertEqual(read(os.path.join(self.folder, name)),
                                 read(os.path.join(other, name)), name)

    def test_ico_holds_the_layout_with_256_stored_as_zero(self):
        self.assertEqual([(w, h, bits) for w, h, bits, _ in self.images],
                         [(s % 256, s % 256, d) for s, d in LAYOUT])
        for (size, depth), (_, _, _, dib) in zip(LAYOUT, self.images):
            info = pe_inspect.describe_icon_image(dib)
            self.assertEqual((info["format"], info["width"], info["height"],
                              info["bit_count"], info["compression"]),
                             ("dib", size, size, depth, 0))
            self.assertTrue(info["has_mask"], (size, depth))

    def test_rc_payloads_are_the_ico_images_under_fixed_ids(self):
        folder = os.path.dirname(self.rc)
        declared = {}
        with open(self.rc) as f:
            for line in f:
                parts = line.split()
                if len(parts) == 3 and parts[0].isdigit():
                    payload = read(os.path.join(folder, parts[2].strip('"')))
                    declared[(int(parts[1]), int(parts[0]))] = payload
        for image_id, (_, _, _, dib) in zip(IMAGE_IDS, self.images):
            self.assertEqual(declared.pop((pe_inspect.RT_ICON, image_id)), dib)
        group = declared.pop((pe_inspect.RT_GROUP_ICON, 1))
        self.assertEqual(declared, {}, "unexpected resources in the .rc")
        ids = [struct.unpack_from("<H", group, 6 + 14 * i + 12)[0]
               for i in range(20)]
        self.assertEqual(ids, IMAGE_IDS)

    def test_pictures_have_soft_edges_and_consistent_masks(self):
        for n in range(0, len(self.images), 2):
            size = LAYOUT[n][0]
            rgb = decode(self.images[n][3])
            rgba = decode(self.images[n + 1][3])
            alphas = [a for row in rgba for a, _, _ in row]
            self.assertEqual(rgba[0][0][0], 0, "corner should be transparent")
            self.assertEqual(rgba[size // 2][size // 2][0], 255)
            self.assertTrue(any(0 < a < 255 for a in alphas),
                            "%d px has no anti-aliased edge" % size)
            for y in range(size):
                for x in range(size):
                    alpha, _, mask = rgba[y][x]
                    self.assertEqual(mask, int(alpha < 128), (size, x, y))
                    _, colour, mask24 = rgb[y][x]
                    self.assertEqual(mask24, mask, (size, x, y))
                    if mask24:  # transparent pixels must not tint the screen
                        self.assertEqual(colour, b"\0\0\0", (size, x, y))

    def test_small_icon_shows_two_bright_arrows(self):
        rows = decode(self.images[1][3])
        white_runs = [sum(1 for _, c, _ in row if min(c) > 200) for row in rows]
        arrow_rows = [y for y, n in enumerate(white_runs) if n >= 6]
        self.assertGreaterEqual(len(arrow_rows), 2, white_runs)
        self.assertGreater(arrow_rows[-1] - arrow_rows[0], 3,
                           "the two arrows should sit apart vertically")


class ProgramFile(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        if not PROGRAM:
            raise unittest.SkipTest("no program file given")
        with open(PROGRAM, "rb") as f:
            cls.pe = pe_inspect.PEFile(f.read())
        cls.tree = pe_inspect.parse_resources(cls.pe)
        cls.groups = pe_inspect.parse_icon_groups(cls.tree)
        cls.icons = pe_inspect.parse_icon_images(cls.tree)

    def test_is_a_windows_gui_program(self):
        self.assertIn(self.pe.machine, ("i386", "amd64"))
        self.assertEqual(self.pe.subsystem, "gui")

    def test_icon_group_1_lists_all_images_in_order(self):
        self.assertIn(1, self.groups)
        entries = self.groups[1]["entries"]
        self.assertEqual([(e["width"], e["bit_count"]) for e in entries], LAYOUT)
        self.assertEqual([e["height"] for e in entries], [s for s, _ in LAYOUT])
        self.assertEqual([e["id"] for e in entries], IMAGE_IDS)
        for e in entries:
            self.assertEqual((e["planes"], e["colors"]), (1, 0), e)
            self.assertEqual(e["bytes"], self.icons[e["id"]]["size"], e)

    def test_images_are_uncompressed_dibs_with_masks(self):
        for image_id, (size, depth) in zip(IMAGE_IDS, LAYOUT):
            info = self.icons.get(image_id)
            self.assertIsNotNone(info, "RT_ICON %d is missing" % image_id)
            self.assertEqual(
                (info["format"], info["header_size"], info["width"],
                 info["height"], info["bit_count"], info["compression"]),
                ("dib", 40, size, size, depth, 0), image_id)
            self.assertTrue(info["has_mask"], image_id)

    def test_images_are_the_generator_output(self):
        images = ico_images(read(shared_output()[1][0]))
        for image_id, (_, _, _, dib) in zip(IMAGE_IDS, images):
            stored = pe_inspect.first_language(
                self.tree[pe_inspect.RT_ICON][image_id])
            self.assertEqual(stored, dib, "RT_ICON %d is stale" % image_id)


def resource_section(tree, rva):
    """Serialise {type: {name: {lang: bytes}}} as a .rsrc placed at rva."""
    out, leaves, names = bytearray(), [], []

    def table(mapping, depth):
        at = len(out)
        keys = sorted(k for k in mapping if isinstance(k, str))
        keys += sorted(k for k in mapping if isinstance(k, int))
        named = sum(isinstance(k, str) for k in keys)
        out.extend(struct.pack("<IIHHHH", 0, 0, 0, 0, named, len(keys) - named))
        slots = len(out)
        out.extend(bytes(8 * len(keys)))
        for i, key in enumerate(keys):
            if depth < 2:
                target = table(mapping[key], depth + 1) | 0x80000000
            else:
                target = len(out)
                leaves.append((target, mapping[key]))
                out.extend(bytes(16))
            if isinstance(key, str):
                names.append((slots + 8 * i, key))
                key = 0
            struct.pack_into("<II", out, slots + 8 * i, key, target)
        return at

    table(tree, 0)
    for slot, name in names:
        struct.pack_into("<I", out, slot, len(out) | 0x80000000)
        out.extend(struct.pack("<H", len(name)) + name.encode("utf-16-le"))
    for entry, data in leaves:
        out.extend(bytes(-len(out) % 4))
        struct.pack_into("<II", out, entry, rva + len(out), len(data))
        out.extend(data)
    return bytes(out)


def tiny_pe(pe32plus, subsystem, dlls=(), resources=None):
    """A minimal image with one section holding imports and resources."""
    rva, raw = 0x1000, 0x400
    body = bytearray(20 * (len(dlls) + 1))
    for i, dll in enumerate(dlls):
        struct.pack_into("<5I", body, 20 * i, 0, 0, 0, rva + len(body), 0)
        body.extend(dll.encode() + b"\0")
    body.extend(bytes(-len(body) % 4))
    dirs = [(0, 0)] * 16
    dirs[1] = (rva, 20 * (len(dlls) + 1)) if dlls else (0, 0)
    if resources:
        rsrc = resource_section(resources, rva + len(body))
        dirs[2] = (rva + len(body), len(rsrc))
        body.extend(rsrc)
    head = 96 if not pe32plus else 112
    opt = bytearray(head + 128)
    struct.pack_into("<H", opt, 0, 0x20B if pe32plus else 0x10B)
    struct.pack_into("<H", opt, 68, subsystem)
    struct.pack_into("<I", opt, head - 4, 16)
    for i, d in enumerate(dirs):
        struct.pack_into("<II", opt, head + 8 * i, *d)
    coff = struct.pack("<4sHHIIIHH", b"PE\0\0", 0x8664 if pe32plus else 0x14C,
                       1, 0, 0, 0, len(opt), 0x102)
    section = struct.pack("<8sIIIIIIHHI", b".rdata", len(body), rva, len(body),
                          raw, 0, 0, 0, 0, 0x40000040)
    image = bytearray(b"MZ" + bytes(62))
    struct.pack_into("<I", image, 0x3C, 64)
    image += coff + opt + section
    return bytes(image + bytes(raw - len(image)) + body)


def version_block(key, value=b"", text=False, children=()):
    head = bytearray(struct.pack("<HHH", 0, len(value) // 2 if text else len(value),
                                 int(text)) + (key + "\0").encode("utf-16-le"))
    head += bytes(-len(head) % 4) + value
    for child in children:
        head += bytes(-len(head) % 4) + child
    struct.pack_into("<H", head, 0, len(head))
    return bytes(head)


def version_resource(strings):
    fixed = struct.pack("<13I", 0xFEEF04BD, 0x10000, 0x20003, 0x40005, 0x20003,
                        0x40005, 0x3F, 0, 0x40004, 1, 0, 0, 0)
    table = version_block("040904b0", children=[
        version_block(k, (v + "\0").encode("utf-16-le"), True)
        for k, v in strings.items()])
    return version_block("VS_VERSION_INFO", fixed, children=[
        version_block("StringFileInfo", children=[table], text=True),
        version_block("VarFileInfo", children=[
            version_block("Translation", struct.pack("<HH", 0x409, 1200))])])


class PEInspect(unittest.TestCase):
    def inspect(self, image):
        with tempfile.TemporaryDirectory() as folder:
            path = os.path.join(folder, "tiny.exe")
            with open(path, "wb") as f:
                f.write(image)
            return pe_inspect.inspect(path)

    def test_headers_and_imports_of_both_formats(self):
        report = self.inspect(tiny_pe(False, 2, ["KERNEL32.dll", "USER32.dll"]))
        self.assertEqual((report["format"], report["machine"], report["subsystem"]),
                         ("PE32", "i386", "gui"))
        self.assertEqual(report["imports"], ["KERNEL32.dll", "USER32.dll"])
        report = self.inspect(tiny_pe(True, 3, ["msvcrt.dll"]))
        self.assertEqual((report["format"], report["machine"], report["subsystem"]),
                         ("PE32+", "amd64", "console"))
        self.assertEqual(report["imports"], ["msvcrt.dll"])
        self.assertIsNone(report["version"])

    def test_resources_version_and_manifest(self):
        dib = struct.pack("<IiiHHIIiiII", 40, 8, 16, 1, 32, 0, 0, 0, 0, 0, 0)
        dib += bytes(8 * 8 * 4) + bytes(8 * 4)
        group = struct.pack("<HHH", 0, 1, 2)
        group += struct.pack("<BBBBHHIH", 8, 8, 0, 0, 1, 32, len(dib), 7)
        group += struct.pack("<BBBBHHIH", 0, 0, 0, 0, 1, 32, 99, 8)
        png = b"\x89PNG\r\n\x1a\n" + struct.pack(">I4sII", 13, b"IHDR", 256, 256)
        strings = {"ProductName": "Rerevure", "FileVersion": "2.3.4.5"}
        tree = {3: {7: {0: dib}, 8: {0: png}, 9: {0: dib[:-4]}},
                14: {"MAINICON": {0x409: group}},
                16: {1: {0x409: version_resource(strings)}},
                24: {1: {0x409: b"\xef\xbb\xbf<assembly/>"}}}
        report = self.inspect(tiny_pe(True, 2, resources=tree))
        entries = report["icon_groups"]["MAINICON"]["entries"]
        self.assertEqual([(e["width"], e["bit_count"], e["bytes"], e["id"])
                          for e in entries], [(8, 32, len(dib), 7), (256, 32, 99, 8)])
        icons = report["icons"]
        self.assertEqual((icons[7]["width"], icons[7]["height"]), (8, 8))
        self.assertTrue(icons[7]["has_mask"])
        self.assertFalse(icons[9]["has_mask"], "short mask not noticed")
        self.assertEqual((icons[8]["format"], icons[8]["width"]), ("png", 256))
        version = report["version"]
        self.assertEqual(version["string_tables"], {"040904b0": strings})
        self.assertEqual(version["translations"], ["040904b0"])
        self.assertEqual(version["fixed"]["file_version"], "2.3.4.5")
        self.assertEqual(version["fixed"]["product_version"], "2.3.4.5")
        self.assertEqual(report["manifest"], "<assembly/>")

    def test_rejects_files_that_are_not_images(self):
        with self.assertRaises(pe_inspect.PEError):
            pe_inspect.PEFile(b"MZ" + bytes(200))
        with self.assertRaises(pe_inspect.PEError):
            pe_inspect.PEFile(b"\x7fELF" + bytes(200))


if __name__ == "__main__":
    args = sys.argv[1:]
    if args and not args[0].startswith("-"):
        PROGRAM = args.pop(0)
    try:
        unittest.main(argv=[sys.argv[0]] + args, verbosity=2)
    finally:
        for folder, _ in _SHARED:
            folder.cleanup()
