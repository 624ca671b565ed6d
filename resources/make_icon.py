#!/usr/bin/env python3
"""Writes launcher.ico, the launcher's icon 102: a blue rounded square with a
white "N". Its images:
- 32x32 in 32-bit colour with alpha, and 32x32 and 16x16 in 16 colours for
  systems that cannot show alpha icons. The picture has four colours and no
  partly transparent pixel, so a 16-entry palette loses nothing (and is 1 KB
  smaller per image than a 256-entry one), and a 16-colour image with its
  mask looks exactly like a 32-bit one: a 32-bit 16x16 would add 1.1 KB and
  change no pixel.
- 64x64 as a 32-bit PNG (321 bytes, where a bitmap takes 17 KB), which Vista
  and later draw at 200 % instead of stretching the 32x32 one. It comes last:
  XP cannot read it, and of two images equally far from the size it wants
  (32 and 64 for 48) it picks the first.

Usage: make_icon.py [output path]   (default: launcher.ico next to this script)
"""
import os
import struct
import sys
import zlib

BLUE = (0x1F, 0x5F, 0xB4)
DARK = (0x12, 0x3A, 0x70)
WHITE = (0xFF, 0xFF, 0xFF)


def pixel(x, y, size):
    """Colour of one pixel (top-down), or None where the icon is transparent."""
    s = size / 32.0
    radius = 6 * s
    # Rounded square: transparent outside the corner arcs.
    cx = min(max(x + 0.5, radius), size - radius)
    cy = min(max(y + 0.5, radius), size - radius)
    d2 = (x + 0.5 - cx) ** 2 + (y + 0.5 - cy) ** 2
    if d2 > radius * radius:
        return None
    edge = max(1.0, s)
    if d2 > (radius - edge) ** 2 and (x < radius or x >= size - radius) and (y < radius or y >= size - radius):
        return DARK
    if x < edge or y < edge or x >= size - edge or y >= size - edge:
        return DARK
    # The letter N: two stems and a diagonal between them.
    left, right = 8 * s, 24 * s
    top, bottom = 7 * s, 25 * s
    stem = 4 * s
    fx, fy = x + 0.5, y + 0.5
    if top <= fy < bottom:
        if left <= fx < left + stem or right - stem <= fx < right:
            return WHITE
        t = (fy - top) / (bottom - top)
        diag = left + t * (right - left - stem)
        if diag <= fx < diag + stem:
            return WHITE
    return BLUE


def mask_rows(size):
    """AND mask, bottom-up, each row padded to 32 bits: 1 = transparent."""
    stride = ((size + 31) // 32) * 4
    out = bytearray()
    for y in reversed(range(size)):
        row = bytearray(stride)
        for x in range(size):
            if pixel(x, y, size) is None:
                row[x // 8] |= 0x80 >> (x % 8)
        out += row
    return bytes(out)


def bitmap_header(size, bits, palette_entries, image_bytes):
    # Height counts the colour bitmap and the mask together.
    return struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, bits, 0, image_bytes, 0, 0,
                       palette_entries, 0)


def image_32(size):
    pixels = bytearray()
    for y in reversed(range(size)):
        for x in range(size):
            c = pixel(x, y, size)
            pixels += bytes((0, 0, 0, 0)) if c is None else bytes((c[2], c[1], c[0], 0xFF))
    mask = mask_rows(size)
    return bitmap_header(size, 32, 0, len(pixels) + len(mask)) + bytes(pixels) + mask


def image_4(size):
    palette = [(0, 0, 0), BLUE, DARK, WHITE]
    index = {c: i for i, c in enumerate(palette)}
    stride = ((size + 7) // 8) * 4  # two pixels a byte, rows padded to 32 bits
    pixels = bytearray()
    for y in reversed(range(size)):
        row = bytearray(stride)
        for x in range(size):
            c = pixel(x, y, size)
            i = 0 if c is None else index[c]
            row[x // 2] |= i << (4 if x % 2 == 0 else 0)
        pixels += row
    table = bytearray()
    for i in range(16):
        r, g, b = palette[i] if i < len(palette) else (0, 0, 0)
        table += bytes((b, g, r, 0))
    mask = mask_rows(size)
    return bitmap_header(size, 4, 16, len(pixels) + len(mask)) + bytes(table) + bytes(pixels) + mask


def png_chunk(kind, data):
    return struct.pack('>I', len(data)) + kind + data + struct.pack('>I', zlib.crc32(kind + data))


def image_png(size):
    """32-bit RGBA PNG, rows unfiltered: the picture's long runs of one colour
    compress best that way."""
    raw = bytearray()
    for y in range(size):
        raw += b'\x00'  # filter type: none
        for x in range(size):
            c = pixel(x, y, size)
            raw += bytes((0, 0, 0, 0)) if c is None else bytes((c[0], c[1], c[2], 0xFF))
    header = struct.pack('>IIBBBBB', size, size, 8, 6, 0, 0, 0)  # 8 bits per channel, RGBA
    return (b'\x89PNG\r\n\x1a\n' + png_chunk(b'IHDR', header) + png_chunk(b'IDAT', zlib.compress(bytes(raw), 9)) +
            png_chunk(b'IEND', b''))


def main():
    path = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(os.path.abspath(__file__)),
                                                              'launcher.ico')
    images = [(32, 32, image_32(32)), (32, 4, image_4(32)), (16, 4, image_4(16)), (64, 32, image_png(64))]
    out = bytearray(struct.pack('<HHH', 0, 1, len(images)))
    offset = 6 + 16 * len(images)
    for size, bits, data in images:
        colours = 16 if bits == 4 else 0  # 0 means 256 or more in the directory entry
        out += struct.pack('<BBBBHHII', size, size, colours, 0, 1, bits, len(data), offset)
        offset += len(data)
    for _, _, data in images:
        out += data
    with open(path, 'wb') as f:
        f.write(out)


if __name__ == '__main__':
    main()
