#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Draws the credcipher icon, a golden key, and writes it as credcipher.ico.

The icon holds a 32x32 and a 16x16 image, both with 16 colours (4 bits per pixel) from the
standard Windows palette, each with a transparency mask. Next to it, in icons/, the desktop's
icon theme sizes: credcipher-N.png for N = 16, 32, 48, 64 and 128, and credcipher.svg drawn from
the same shapes. Standard library only; the build uses the committed files, so run this only
after changing the drawing:

    python3 app/res/make_icon.py [output.ico]
"""

import math
import os
import struct
import sys
import zlib

# The standard 16-colour palette as (red, green, blue).
PALETTE = [
    (0x00, 0x00, 0x00), (0x80, 0x00, 0x00), (0x00, 0x80, 0x00), (0x80, 0x80, 0x00),
    (0x00, 0x00, 0x80), (0x80, 0x00, 0x80), (0x00, 0x80, 0x80), (0xC0, 0xC0, 0xC0),
    (0x80, 0x80, 0x80), (0xFF, 0x00, 0x00), (0x00, 0xFF, 0x00), (0xFF, 0xFF, 0x00),
    (0x00, 0x00, 0xFF), (0xFF, 0x00, 0xFF), (0x00, 0xFF, 0xFF), (0xFF, 0xFF, 0xFF),
]
BLACK, OLIVE, YELLOW, WHITE = 0, 3, 11, 15
TRANSPARENT = None


# The key in a 32x32 design space: the bow, a ring round the hole (centre, inner and outer
# radius), and the shaft with two teeth below it as rectangles (left, top, right, bottom).
BOW = (9.5, 16.0, 3.2, 8.0)
BARS = [(16.0, 14.0, 30.5, 18.0), (21.5, 18.0, 24.5, 22.5), (26.5, 18.0, 29.5, 22.5)]
SIZES = [16, 32, 48, 64, 128]


def inside_key(x, y):
    """True when the point (x, y), in a 32x32 design space, lies on the key's metal."""
    cx, cy, inner, outer = BOW
    if inner <= math.hypot(x - cx, y - cy) <= outer:
        return True
    return any(left <= x <= right and top <= y <= bottom for left, top, right, bottom in BARS)


def draw(size):
    """Returns size rows of size palette indexes (TRANSPARENT where the key is not)."""
    scale = 32.0 / size
    metal = [[inside_key((c + 0.5) * scale, (r + 0.5) * scale) for c in range(size)]
             for r in range(size)]

    def is_metal(r, c):
        return 0 <= r < size and 0 <= c < size and metal[r][c]

    pixels = [[TRANSPARENT] * size for _ in range(size)]
    for r in range(size):
        for c in range(size):
            if metal[r][c]:
                if not is_metal(r + 1, c) or not is_metal(r, c + 1):
                    pixels[r][c] = OLIVE  # shade on the lower and right edges
                elif not is_metal(r - 1, c) or not is_metal(r, c - 1):
                    pixels[r][c] = WHITE if size >= 32 else YELLOW  # highlight
                else:
                    pixels[r][c] = YELLOW
            elif any(is_metal(r + dr, c + dc) for dr, dc in ((1, 0), (-1, 0), (0, 1), (0, -1))):
                pixels[r][c] = BLACK  # outline
    return pixels


def row_bytes(bits_per_row):
    return (bits_per_row + 31) // 32 * 4


def bitmap(pixels):
    """The image as an icon stores it: header, palette, colour bits, mask bits (bottom-up)."""
    size = len(pixels)
    xor_stride = row_bytes(size * 4)
    and_stride = row_bytes(size)
    xor_bits = bytearray()
    and_bits = bytearray()
    for row in reversed(pixels):
        line = bytearray(xor_stride)
        mask = bytearray(and_stride)
        for c, index in enumerate(row):
            if index is TRANSPARENT:
                mask[c // 8] |= 0x80 >> (c % 8)
                index = 0
            line[c // 2] |= index << (4 if c % 2 == 0 else 0)
        xor_bits += line
        and_bits += mask
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 4, 0,
                         len(xor_bits) + len(and_bits), 0, 0, 0, 0)
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in PALETTE)
    return header + palette + bytes(xor_bits) + bytes(and_bits)


def icon(sizes):
    images = [bitmap(draw(size)) for size in sizes]
    directory = struct.pack("<HHH", 0, 1, len(images))
    offset = len(directory) + 16 * len(images)
    entries = b""
    for size, image in zip(sizes, images):
        entries += struct.pack("<BBBBHHII", size, size, 16, 0, 1, 4, len(image), offset)
        offset += len(image)
    return directory + entries + b"".join(images)


def png(size):
    """The image as a PNG with an alpha channel, for the desktop entry's icon theme."""
    def chunk(kind, data):
        return (struct.pack(">I", len(data)) + kind + data +
                struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))
    raw = bytearray()
    for row in draw(size):
        raw.append(0)  # no filter
        for index in row:
            raw += bytes(4) if index is TRANSPARENT else bytes(PALETTE[index]) + b"\xff"
    header = struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) +
            chunk(b"IDAT", zlib.compress(bytes(raw), 9)) + chunk(b"IEND", b""))


def svg():
    """The same key as scalable shapes: the metal in yellow over a one-unit black outline.

    The outer circle and the bars run clockwise, the hole anticlockwise, so that with the
    nonzero rule the hole is empty and the overlap of bow and shaft is filled."""
    cx, cy, inner, outer = BOW
    ring = (f"M{cx - outer},{cy}a{outer},{outer} 0 1,1 {2 * outer},0a{outer},{outer} 0 1,1 "
            f"{-2 * outer},0zM{cx - inner},{cy}a{inner},{inner} 0 1,0 {2 * inner},0a{inner},"
            f"{inner} 0 1,0 {-2 * inner},0z")
    bars = "".join(f"M{left},{top}H{right}V{bottom}H{left}z" for left, top, right, bottom in BARS)
    shape = ring + bars
    return ('<?xml version="1.0" encoding="UTF-8"?>\n'
            '<!-- SPDX-License-Identifier: MIT -->\n'
            '<svg xmlns="http://www.w3.org/2000/svg" width="32" height="32" viewBox="0 0 32 32">\n'
            f'  <path d="{shape}" fill="#000" stroke="#000" '
            'stroke-width="2" stroke-linejoin="round"/>\n'
            f'  <path d="{shape}" fill="#ff0"/>\n'
            '</svg>\n')


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    path = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "credcipher.ico")
    with open(path, "wb") as out:
        out.write(icon([32, 16]))
    icons = os.path.join(os.path.dirname(path), "icons")
    os.makedirs(icons, exist_ok=True)
    for size in SIZES:
        with open(os.path.join(icons, f"credcipher-{size}.png"), "wb") as out:
            out.write(png(size))
    with open(os.path.join(icons, "credcipher.svg"), "w", encoding="utf-8") as out:
        out.write(svg())


if __name__ == "__main__":
    main()
