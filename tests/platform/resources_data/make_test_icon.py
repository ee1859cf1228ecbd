#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Writes test.ico for the resource tests: three images whose pixels follow simple rules that
the tests check (16x16 4 bpp, 32x32 8 bpp, 48x48 32 bpp).

Usage: make_test_icon.py OUTPUT.ico"""
import struct
import sys


def row_bytes(width, bits):
    return (width * bits + 31) // 32 * 4


def image(width, bits, pixel):
    """A DIB icon: header, palette, colour rows (bottom-up), an all-opaque mask."""
    height = width
    colors = 1 << bits if bits <= 8 else 0
    header = struct.pack('<IiiHHIIiiII', 40, width, height * 2, 1, bits, 0, 0, 0, 0, 0, 0)
    palette = b''.join(struct.pack('<BBBB', i, i, i, 0) for i in range(colors))
    rows = b''
    for y in range(height):
        if bits == 32:
            row = b''.join(struct.pack('<I', pixel(x, y)) for x in range(width))
        elif bits == 8:
            row = bytes(pixel(x, y) for x in range(width))
        else:  # 4 bits: two pixels a byte, the first in the high nibble
            row = bytes(pixel(x, y) << 4 | pixel(x + 1, y) for x in range(0, width, 2))
        rows += row.ljust(row_bytes(width, bits), b'\0')
    mask = bytes(row_bytes(width, 1) * height)
    return header + palette + rows + mask


def main():
    images = [
        (16, 4, image(16, 4, lambda x, y: (x + y) % 16)),
        (32, 8, image(32, 8, lambda x, y: (x * y) & 0xFF)),
        (48, 32, image(48, 32, lambda x, y: 0xFF000000 | y << 8 | x)),
    ]
    out = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for side, bits, data in images:
        colors = 1 << bits if bits < 8 else 0
        out += struct.pack('<BBBBHHII', side, side, colors, 0, 1, bits, len(data), offset)
        offset += len(data)
    out += b''.join(data for _, _, data in images)
    with open(sys.argv[1], 'wb') as f:
        f.write(out)


if __name__ == '__main__':
    main()
