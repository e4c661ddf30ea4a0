"""Gives an MSI made by wixl a fixed package code and fixed dates.

wixl stamps every package with a random package code (the summary
information's revision number) and the time it ran (its creation and
last-saved dates), and has no way to be told otherwise. For a release that
can be rebuilt byte for byte, make_installers.py writes both afterwards,
in place: the MSI is an OLE compound file whose "\\x05SummaryInformation"
stream holds them at fixed places and with fixed lengths, so nothing else
in the file moves.
"""

import struct
import uuid

SUMMARY_STREAM = "\x05SummaryInformation"
PID_REVNUMBER = 9
PID_CREATE_DTM = 12
PID_LASTSAVE_DTM = 13
VT_LPSTR = 30
VT_FILETIME = 64
# Seconds from 1601-01-01 (FILETIME's start) to 1970-01-01.
FILETIME_UNIX_OFFSET = 11644473600
END_OF_CHAIN = 0xFFFFFFFE


class MsiFormatError(ValueError):
    pass


def _u32(data, offset):
    return struct.unpack_from("<I", data, offset)[0]


def _chain(table, first):
    sectors, seen = [], set()
    while first != END_OF_CHAIN:
        if first in seen or first >= len(table):
            raise MsiFormatError("broken sector chain")
        seen.add(first)
        sectors.append(first)
        first = table[first]
    return sectors


def _stream_places(data, name):
    """The file offsets of a stream's pieces: [(offset, length)] in order."""
    if data[:8] != b"\xd0\xcf\x11\xe0\xa1\xb1\x1a\xe1":
        raise MsiFormatError("not an OLE compound file")
    sector = 1 << struct.unpack_from("<H", data, 0x1E)[0]
    mini = 1 << struct.unpack_from("<H", data, 0x20)[0]
    cutoff = _u32(data, 0x38)

    def at(n):
        return (n + 1) * sector

    fat_sectors = [_u32(data, 0x4C + 4 * i) for i in range(109)][:_u32(data, 0x2C)]
    difat, count = _u32(data, 0x44), _u32(data, 0x48)
    per = sector // 4 - 1
    for _ in range(count):
        fat_sectors += [_u32(data, at(difat) + 4 * i) for i in range(per)]
        difat = _u32(data, at(difat) + 4 * per)
    fat_sectors = fat_sectors[:_u32(data, 0x2C)]
    fat = [_u32(data, at(s) + 4 * i) for s in fat_sectors for i in range(sector // 4)]

    entries = [at(s) + i * 128 for s in _chain(fat, _u32(data, 0x30))
               for i in range(sector // 128)]
    root = entries[0]
    target = None
    for entry in entries:
        length = struct.unpack_from("<H", data, entry + 0x40)[0]
        if data[entry + 0x42] == 2 and data[entry:entry + max(length - 2, 0)].decode(
                "utf-16-le", errors="replace") == name:
            target = entry
            break
    if target is None:
        raise MsiFormatError("no %r stream" % name)
    start, size = _u32(data, target + 0x74), _u32(data, target + 0x78)

    if size >= cutoff:
        pieces = [(at(s), sector) for s in _chain(fat, start)]
    else:
        mini_fat = [_u32(data, at(s) + 4 * i) for s in _chain(fat, _u32(data, 0x3C))
                    for i in range(sector // 4)]
        container = _chain(fat, _u32(data, root + 0x74))
        pieces = []
        for m in _chain(mini_fat, start):
            position = m * mini
            pieces.append((at(container[position // sector]) + position % sector, mini))
    places, left = [], size
    for offset, length in pieces:
        places.append((offset, min(length, left)))
        left -= places[-1][1]
    if left:
        raise MsiFormatError("the %r stream is shorter than its entry says" % name)
    return places


def _properties(stream):
    """{property id: (type, offset of its value)} of the first section."""
    section = _u32(stream, 28 + 16)
    count = _u32(stream, section + 4)
    found = {}
    for i in range(count):
        pid, offset = struct.unpack_from("<II", stream, section + 8 + 8 * i)
        found[pid] = (_u32(stream, section + offset), section + offset + 4)
    return found


def fix_summary(path, package_code, epoch):
    """Writes package_code (a UUID) and epoch (Unix seconds) into the MSI at path."""
    with open(path, "rb") as f:
        data = bytearray(f.read())
    places = _stream_places(data, SUMMARY_STREAM)
    stream = bytearray(b"".join(bytes(data[o:o + n]) for o, n in places))
    properties = _properties(stream)

    code = ("{%s}" % str(uuid.UUID(str(package_code))).upper()).encode("ascii") + b"\0"
    kind, offset = properties.get(PID_REVNUMBER, (None, 0))
    if kind != VT_LPSTR or _u32(stream, offset) != len(code):
        raise MsiFormatError("the package code is not a UUID string")
    stream[offset + 4:offset + 4 + len(code)] = code

    filetime = struct.pack("<Q", (epoch + FILETIME_UNIX_OFFSET) * 10000000)
    for pid in (PID_CREATE_DTM, PID_LASTSAVE_DTM):
        kind, offset = properties.get(pid, (None, 0))
        if kind != VT_FILETIME:
            raise MsiFormatError("property %d is not a date" % pid)
        stream[offset:offset + 8] = filetime

    position = 0
    for offset, length in places:
        data[offset:offset + length] = stream[position:position + length]
        position += length
    with open(path, "r+b") as f:
        f.write(data)
