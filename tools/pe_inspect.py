#!/usr/bin/env python3
"""Report what a built Windows program file carries, as JSON.

Reads PE32 and PE32+ images without any third-party module so the checks can
run on the Linux build host: machine, subsystem, imported DLLs, icon groups
and their images, the version resource and the manifest.

Usage: pe_inspect.py FILE
Library use: inspect(path) returns the same dict the command prints; the
individual parse_* helpers work on a PEFile.
"""

import json
import struct
import sys

MACHINES = {0x14C: "i386", 0x8664: "amd64", 0xAA64: "arm64"}
SUBSYSTEMS = {1: "native", 2: "gui", 3: "console"}

RT_ICON = 3
RT_GROUP_ICON = 14
RT_VERSION = 16
RT_MANIFEST = 24

DIR_IMPORT = 1
DIR_RESOURCE = 2
DIR_DELAY_IMPORT = 13


class PEError(ValueError):
    pass


class PEFile:
    def __init__(self, data):
        self.data = data
        if data[:2] != b"MZ":
            raise PEError("no MZ header")
        pe = self.u32(0x3C)
        if data[pe:pe + 4] != b"PE\0\0":
            raise PEError("no PE signature")
        (self.machine_id, nsections, _, _, _, opt_size,
         self.characteristics) = struct.unpack_from("<HHIIIHH", data, pe + 4)
        opt = pe + 24
        magic = self.u16(opt)
        if magic == 0x10B:
            self.pe32plus, dirs_at = False, opt + 96
        elif magic == 0x20B:
            self.pe32plus, dirs_at = True, opt + 112
        else:
            raise PEError("unknown optional header magic 0x%x" % magic)
        self.subsystem_id = self.u16(opt + 68)
        ndirs = self.u32(dirs_at - 4)
        self.directories = [struct.unpack_from("<II", data, dirs_at + 8 * i)
                            for i in range(min(ndirs, 16))]
        self.sections = []
        at = opt + opt_size
        for i in range(nsections):
            name, vsize, va, rawsize, rawptr = struct.unpack_from(
                "<8sIIII", data, at + 40 * i)
            self.sections.append((name.rstrip(b"\0").decode("latin-1"),
                                  va, max(vsize, rawsize), rawptr, rawsize))

    def u16(self, off):
        return struct.unpack_from("<H", self.data, off)[0]

    def u32(self, off):
        return struct.unpack_from("<I", self.data, off)[0]

    @property
    def machine(self):
        return MACHINES.get(self.machine_id, "0x%04x" % self.machine_id)

    @property
    def subsystem(self):
        return SUBSYSTEMS.get(self.subsystem_id, str(self.subsystem_id))

    def directory(self, index):
        return self.directories[index] if index < len(self.directories) else (0, 0)

    def offset(self, rva):
        for _, va, vsize, rawptr, rawsize in self.sections:
            if va <= rva < va + vsize:
                if rva - va >= rawsize:
                    raise PEError("RVA 0x%x lies in uninitialised data" % rva)
                return rawptr + rva - va
        raise PEError("RVA 0x%x is outside every section" % rva)

    def read(self, rva, size):
        off = self.offset(rva)
        return self.data[off:off + size]

    def cstring(self, rva):
        off = self.offset(rva)
        return self.data[off:self.data.index(b"\0", off)].decode("latin-1")


def _dll_names(pe, directory, fields, name_field):
    """The DLL names of an import directory: descriptors of `fields` 32-bit
    fields, the name's address in field `name_field`, ended by a null name."""
    names = []
    rva, size = pe.directory(directory)
    while rva and size:
        name_rva = struct.unpack("<%dI" % fields, pe.read(rva, 4 * fields))[name_field]
        if not name_rva:
            break
        names.append(pe.cstring(name_rva))
        rva += 4 * fields
    return names


def parse_imports(pe):
    """Names of the DLLs the image imports, normal then delay-loaded."""
    return _dll_names(pe, DIR_IMPORT, 5, 3), _dll_names(pe, DIR_DELAY_IMPORT, 8, 1)


def parse_resources(pe):
    """{type: {name: {language: bytes}}}; ids are ints, names are strings."""
    root, size = pe.directory(DIR_RESOURCE)
    if not root or not size:
        return {}
    base = pe.offset(root)

    def entries(off):
        named, ids = struct.unpack_from("<HH", pe.data, base + off + 12)
        for i in range(named + ids):
            key, target = struct.unpack_from("<II", pe.data,
                                             base + off + 16 + 8 * i)
            if key & 0x80000000:
                at = base + (key & 0x7FFFFFFF)
                length = pe.u16(at)
                key = pe.data[at + 2:at + 2 + 2 * length].decode("utf-16-le")
            yield key, target

    def subdir(target):
        if not target & 0x80000000:
            raise PEError("resource tree is shallower than three levels")
        return target & 0x7FFFFFFF

    tree = {}
    for rtype, t1 in entries(0):
        for name, t2 in entries(subdir(t1)):
            for lang, leaf in entries(subdir(t2)):
                rva, length = struct.unpack_from("<II", pe.data, base + leaf)
                tree.setdefault(rtype, {}).setdefault(name, {})[lang] = \
                    pe.read(rva, length)
    return tree


def sorted_keys(mapping):
    """Numeric ids in order, then names; ids and names never compare."""
    return (sorted(k for k in mapping if isinstance(k, int)) +
            sorted(k for k in mapping if isinstance(k, str)))


def first_language(langs):
    return langs[sorted_keys(langs)[0]]


def parse_icon_groups(tree):
    groups = {}
    for name, langs in tree.get(RT_GROUP_ICON, {}).items():
        data = first_language(langs)
        _, kind, count = struct.unpack_from("<HHH", data, 0)
        entries = []
        for i in range(count):
            w, h, colors, _, planes, bits, size, image_id = struct.unpack_from(
                "<BBBBHHIH", data, 6 + 14 * i)
            entries.append({"width": w or 256, "height": h or 256,
                            "colors": colors, "planes": planes,
                            "bit_count": bits, "bytes": size, "id": image_id})
        groups[name] = {"type": kind, "entries": entries}
    return groups


def describe_icon_image(data):
    """Header facts of one RT_ICON payload, and whether its parts add up."""
    info = {"size": len(data)}
    if data[:8] == b"\x89PNG\r\n\x1a\n":
        width, height = struct.unpack_from(">II", data, 16)
        info.update(format="png", width=width, height=height)
        return info
    (hsize, width, height2, planes, bits, compression,
     _, _, _, used, _) = struct.unpack_from("<IiiHHIIiiII", data, 0)
    height = height2 // 2
    palette = 4 * (used or (1 << bits if bits <= 8 else 0))
    xor = ((width * bits + 31) // 32) * 4 * height
    mask = ((width + 31) // 32) * 4 * height
    info.update(format="dib", header_size=hsize, width=width, height=height,
                planes=planes, bit_count=bits, compression=compression,
                xor_bytes=xor, mask_bytes=mask,
                has_mask=compression == 0 and
                len(data) == hsize + palette + xor + mask)
    return info


def parse_icon_images(tree):
    return {name: describe_icon_image(first_language(langs))
            for name, langs in tree.get(RT_ICON, {}).items()}


def _version_node(data, off):
    """One VS_VERSIONINFO-style block: (key, value bytes, is_text, children)."""
    length, value_len, is_text = struct.unpack_from("<HHH", data, off)
    end = off + length
    if length < 6 or end > len(data):
        raise PEError("version block at 0x%x has a bad length" % off)
    at = off + 6
    key_end = at
    while data[key_end:key_end + 2] != b"\0\0":
        key_end += 2
        if key_end >= end:
            raise PEError("version block key at 0x%x is unterminated" % off)
    key = data[at:key_end].decode("utf-16-le")
    at = (key_end + 2 + 3) & ~3
    value_bytes = value_len * 2 if is_text else value_len
    value = data[at:min(at + value_bytes, end)]
    at = (at + value_bytes + 3) & ~3
    children = []
    while at < end:
        child = _version_node(data, at)
        children.append(child[:4])
        at = (at + child[4] + 3) & ~3
    return key, value, is_text, children, length


def parse_version(tree):
    """Fixed file info, string tables and translations of version resource 1."""
    langs = tree.get(RT_VERSION, {}).get(1)
    if not langs:
        return None
    key, value, _, children, _ = _version_node(first_language(langs), 0)
    result = {"key": key, "string_tables": {}, "translations": []}
    if len(value) >= 52 and struct.unpack_from("<I", value)[0] == 0xFEEF04BD:
        fv_ms, fv_ls, pv_ms, pv_ls = struct.unpack_from("<4I", value, 8)
        fmt = lambda ms, ls: "%d.%d.%d.%d" % (ms >> 16, ms & 0xFFFF,
                                              ls >> 16, ls & 0xFFFF)
        flags_mask, flags, os_id, ftype = struct.unpack_from("<4I", value, 24)
        result["fixed"] = {"file_version": fmt(fv_ms, fv_ls),
                           "product_version": fmt(pv_ms, pv_ls),
                           "file_flags": flags & flags_mask,
                           "file_os": os_id, "file_type": ftype}
    for ckey, _, _, grandchildren in children:
        if ckey == "StringFileInfo":
            for table, _, _, strings in grandchildren:
                result["string_tables"][table] = {
                    name: val.decode("utf-16-le").split("\0")[0]
                    for name, val, _, _ in strings}
        elif ckey == "VarFileInfo":
            for _, val, _, _ in grandchildren:
                result["translations"] += [
                    "%04x%04x" % pair for pair in
                    struct.iter_unpack("<HH", val[:len(val) // 4 * 4])]
    return result


def parse_manifest(tree):
    langs = tree.get(RT_MANIFEST, {}).get(1)
    if not langs:
        return None
    return first_language(langs).decode("utf-8-sig", errors="replace")


def inspect(path):
    with open(path, "rb") as f:
        pe = PEFile(f.read())
    imports, delayed = parse_imports(pe)
    tree = parse_resources(pe)
    return {
        "file": path,
        "format": "PE32+" if pe.pe32plus else "PE32",
        "machine": pe.machine,
        "subsystem": pe.subsystem,
        "imports": imports,
        "delay_imports": delayed,
        "resource_types": sorted_keys(tree),
        "icon_groups": parse_icon_groups(tree),
        "icons": parse_icon_images(tree),
        "version": parse_version(tree),
        "manifest": parse_manifest(tree),
    }


def main(argv):
    if len(argv) != 2:
        sys.stderr.write("usage: pe_inspect.py FILE\n")
        return 2
    try:
        report = inspect(argv[1])
    except (OSError, PEError, struct.error) as exc:
        sys.stderr.write("pe_inspect: %s: %s\n" % (argv[1], exc))
        return 1
    json.dump(report, sys.stdout, indent=2)
    sys.stdout.write("\n")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
