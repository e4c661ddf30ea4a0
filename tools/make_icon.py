#!/usr/bin/env python3
"""Draw the Rerevure application icon and write it as a Windows .ico file.

The picture is a blue-to-green rounded tile with two opposing white arrows
(the "switch" between proxy settings); from 48 px up a faint globe sits behind
the arrows.  Every size is rendered from signed distance functions, so edges
are anti-aliased without supersampling and the output is byte-for-byte
deterministic.

Each size is stored twice, as a 24-bit image (transparency from the 1-bit AND
mask only, for old shells and classic themes) and as a 32-bit image with an
alpha channel.  All images are plain DIBs, including 256 px: PNG entries would
be smaller, but the resource checker and older loaders expect DIBs throughout.

With --rc the individual images and the icon group are additionally written
as raw resource payloads next to an .rc script.  windres's `ICON` statement
numbers the images itself, whereas the program wants a fixed layout: group 1
with images 30001..30020, so the resources are declared by numeric type.

Usage: make_icon.py OUT.ico [--rc OUT.rc]
"""

import argparse
import math
import os
import struct
import sys

SIZES = (16, 24, 32, 48, 64, 72, 80, 96, 128, 256)
DEPTHS = (24, 32)
GROUP_ID = 1
FIRST_IMAGE_ID = 30001

BLUE = (24, 104, 232)
GREEN = (22, 176, 76)
WHITE = (255, 255, 255)
BLACK = (0, 0, 0)


def clamp01(v):
    return 0.0 if v < 0.0 else 1.0 if v > 1.0 else v


def coverage(d):
    """Fraction of a pixel covered by a shape whose edge is d pixels away."""
    return clamp01(0.5 - d)


def sd_round_box(x, y, x0, y0, x1, y1, r):
    cx, cy = (x0 + x1) / 2, (y0 + y1) / 2
    qx = abs(x - cx) - (x1 - x0) / 2 + r
    qy = abs(y - cy) - (y1 - y0) / 2 + r
    outside = math.hypot(max(qx, 0.0), max(qy, 0.0))
    return outside + min(max(qx, qy), 0.0) - r


def sd_arrow(x, y, tail, base, tip, cy, half_shaft, half_head):
    """Horizontal arrow; points right when tip > base, left otherwise."""
    if tip < base:  # mirror so the maths only has to handle one direction
        x, tail, base, tip = -x, -tail, -base, -tip
    dy = abs(y - cy)
    shaft = max(tail - x, x - base - half_shaft, dy - half_shaft)
    length = tip - base
    slant = (dy * length - half_head * (tip - x)) / math.hypot(half_head, length)
    head = max(base - x, slant)
    return min(shaft, head)


def sd_ellipse_ring(x, y, cx, cy, rx, ry, half_width):
    dx, dy = x - cx, y - cy
    u = math.sqrt((dx / rx) ** 2 + (dy / ry) ** 2)
    grad = math.hypot(dx / (rx * rx), dy / (ry * ry))
    d = (u - 1.0) * u / grad if grad > 1e-9 else -min(rx, ry)
    return abs(d) - half_width


def over(dst, color, alpha):
    """Paint color with straight alpha over an (r, g, b, a) pixel."""
    if alpha <= 0.0:
        return dst
    r, g, b, a = dst
    out_a = alpha + a * (1.0 - alpha)
    keep = a * (1.0 - alpha) / out_a
    mix = alpha / out_a
    return (color[0] * mix + r * keep, color[1] * mix + g * keep,
            color[2] * mix + b * keep, out_a)


def render(size):
    """Return rows (top to bottom) of (r, g, b, a) floats, colours 0..255."""
    s = float(size)
    snap = round  # keep straight edges on pixel boundaries at every size
    margin = size // 32
    x0, x1 = margin, size - margin
    radius = 0.2 * (x1 - x0)
    border = max(1.0, s / 64)

    half_shaft = max(1, snap(0.06 * s))
    half_head = half_shaft + max(2, snap(0.11 * s))
    upper = snap(0.33 * s - half_shaft) + half_shaft
    lower = size - upper
    left, right = snap(0.19 * s), size - snap(0.19 * s)
    head_len = max(half_head + 1, snap(0.2 * s))
    base_r, base_l = right - head_len, left + head_len
    shadow = s / 48 if size >= 32 else 0.0

    globe = size >= 48
    gcx = gcy = s / 2
    gr = 0.36 * s
    gw = max(0.6, s / 96)

    rows = []
    for py in range(size):
        row = []
        y = py + 0.5
        for px in range(size):
            x = px + 0.5
            pix = (0.0, 0.0, 0.0, 0.0)
            d_tile = sd_round_box(x, y, x0, x0, x1, x1, radius)
            a_tile = coverage(d_tile)
            if a_tile > 0.0:
                t = clamp01((x + y) / (2 * s))
                fill = tuple(bl + (gr_ - bl) * t for bl, gr_ in zip(BLUE, GREEN))
                edge = tuple(c * 0.7 for c in fill)
                inner = coverage(d_tile + border)
                color = tuple(e + (f - e) * inner for e, f in zip(edge, fill))
                pix = over(pix, color, a_tile)
                if globe:
                    d = abs(math.hypot(x - gcx, y - gcy) - gr) - gw
                    d = min(d, sd_ellipse_ring(x, y, gcx, gcy, gr * 0.45, gr, gw))
                    inside = math.hypot(x - gcx, y - gcy) - gr
                    d = min(d, max(abs(x - gcx) - gw, inside))
                    d = min(d, max(abs(y - gcy) - gw, inside))
                    pix = over(pix, WHITE, 0.30 * coverage(d) * inner)
                arrows = (
                    (left, base_r, right, upper),
                    (right, base_l, left, lower),
                )
                if shadow:
                    d = min(sd_arrow(x - shadow, y - shadow, *a[:3], a[3],
                                     half_shaft, half_head) for a in arrows)
                    pix = over(pix, BLACK, 0.28 * coverage(d - shadow * 0.5))
                d = min(sd_arrow(x, y, *a[:3], a[3], half_shaft, half_head)
                        for a in arrows)
                pix = over(pix, WHITE, coverage(d))
            row.append(pix)
        rows.append(row)
    return rows


def encode_dib(rows, depth):
    """BITMAPINFOHEADER + bottom-up XOR bitmap + 1-bit AND mask."""
    size = len(rows)
    xor_stride = (size * depth // 8 + 3) & ~3
    mask_stride = ((size + 7) // 8 + 3) & ~3
    xor, mask = bytearray(), bytearray()
    for row in reversed(rows):
        line = bytearray()
        bits = bytearray(mask_stride)
        for i, (r, g, b, a) in enumerate(row):
            alpha = int(round(a * 255))
            if alpha < 128:
                bits[i // 8] |= 0x80 >> (i % 8)
            if depth == 32:
                px = (b, g, r) if alpha else (0, 0, 0)
                line += bytes(int(round(c)) for c in px) + bytes((alpha,))
            else:
                px = (b, g, r) if alpha >= 128 else (0, 0, 0)
                line += bytes(int(round(c)) for c in px)
        xor += line + bytes(xor_stride - len(line))
        mask += bits
    header = struct.pack("<IiiHHIIiiII", 40, size, 2 * size, 1, depth, 0,
                         len(xor) + len(mask), 0, 0, 0, 0)
    return header + bytes(xor) + bytes(mask)


def build_images():
    """[(size, depth, dib bytes)] in the icon's fixed order."""
    images = []
    for size in SIZES:
        rows = render(size)
        for depth in DEPTHS:
            images.append((size, depth, encode_dib(rows, depth)))
    return images


def entry_prefix(size, depth, length):
    dim = size if size < 256 else 0  # 256 is stored as 0 in a single byte
    return struct.pack("<BBBBHHI", dim, dim, 0, 0, 1, depth, length)


def ico_bytes(images):
    out = bytearray(struct.pack("<HHH", 0, 1, len(images)))
    offset = 6 + 16 * len(images)
    for size, depth, dib in images:
        out += entry_prefix(size, depth, len(dib)) + struct.pack("<I", offset)
        offset += len(dib)
    for _, _, dib in images:
        out += dib
    return bytes(out)


def group_bytes(images):
    out = bytearray(struct.pack("<HHH", 0, 1, len(images)))
    for n, (size, depth, dib) in enumerate(images):
        out += entry_prefix(size, depth, len(dib))
        out += struct.pack("<H", FIRST_IMAGE_ID + n)
    return bytes(out)


def write_file(path, data):
    with open(path, "wb") as f:
        f.write(data)


def write_rc(rc_path, images):
    folder = os.path.dirname(os.path.abspath(rc_path))
    stem = os.path.splitext(os.path.basename(rc_path))[0]
    lines = ["// Generated by make_icon.py; edit the generator instead.",
             "LANGUAGE 0, 0"]
    for n, (_, _, dib) in enumerate(images):
        name = "%s_%02d.bin" % (stem, n + 1)
        write_file(os.path.join(folder, name), dib)
        lines.append('%d 3 "%s"' % (FIRST_IMAGE_ID + n, name))
    name = "%s_group.bin" % stem
    write_file(os.path.join(folder, name), group_bytes(images))
    lines.append('%d 14 "%s"' % (GROUP_ID, name))
    write_file(rc_path, ("\n".join(lines) + "\n").encode("ascii"))


def main(argv=None):
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("ico", help="icon file to write")
    parser.add_argument("--rc", help="also write an .rc script plus the raw "
                        "RT_ICON/RT_GROUP_ICON payloads next to it")
    args = parser.parse_args(argv)
    images = build_images()
    write_file(args.ico, ico_bytes(images))
    if args.rc:
        write_rc(args.rc, images)
    return 0


if __name__ == "__main__":
    sys.exit(main())
