#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Draws the program's icon files: a blue capital H outlined in black on a pale cyan square with a black border.

usage: make-icons.py [OUTPUT_FOLDER]   (default: the repository's data/icons)

Writes hicolor/<N>x<N>/apps/quillmere.png for every size below (24-bit, fully opaque), the same picture drawn to
scale as hicolor/scalable/apps/quillmere.svg, and quillmere.ico for Windows builds (the resource of the Windows
program). The window's icon is drawn at 32, 48, 128 and 256 pixels, the tray's at 16, 22, 24, 32, 48 and 64, the
sizes panels and HiDPI screens ask for. The output is committed, so the build never draws icons itself; a test
draws them again and compares.
"""
import os
import struct
import sys
import zlib

PROGRAM_SIZES = (32, 48, 128, 256)
TRAY_SIZES = (16, 22, 24, 32, 48, 64)
SIZES = tuple(sorted(set(PROGRAM_SIZES + TRAY_SIZES)))
# Windows asks for the tray's 16 and, at 150 %, 24 pixels, and scales the rest from the nearest.
ICO_SIZES = (16, 24, 32, 48, 64, 128, 256)
BLACK = (0, 0, 0)
BLUE = (0, 64, 255)
PALE_CYAN = (204, 255, 255)

# The H on the 16-pixel grid the tray picture is drawn on: two stems and a bar, as (left, top, right, bottom),
# right and bottom exclusive. Larger sizes scale the same shapes.
H_PARTS = ((4, 3, 6, 13), (10, 3, 12, 13), (6, 7, 10, 9))


def pixel_span(low, high, scale):
    """The pixels whose centres fall in [low, high) of the 16-unit grid, as an inclusive range."""
    inside = [p for p in range(int(high * scale) + 1) if low <= (p + 0.5) / scale < high]
    return inside[0], inside[-1]


def rows(size):
    """The border and the outline are one pixel wide at 16, and grow slowly with size."""
    line = max(1, size // 32)
    scale = size / 16
    parts = [pixel_span(left, right, scale) + pixel_span(top, bottom, scale) for left, top, right, bottom in H_PARTS]

    def within(x, y, grow):
        return any(x0 - grow <= x <= x1 + grow and y0 - grow <= y <= y1 + grow for x0, x1, y0, y1 in parts)

    def pixel(x, y):
        if min(x, y) < line or max(x, y) >= size - line:
            return BLACK
        if within(x, y, 0):
            return BLUE
        return BLACK if within(x, y, line) else PALE_CYAN

    return [[pixel(x, y) for x in range(size)] for y in range(size)]


def svg():
    """The 16-unit grid itself, at any size: the border, each part of the H with its outline, then the H."""
    def rect(left, top, right, bottom, colour):
        return '<rect x="%d" y="%d" width="%d" height="%d" fill="#%02x%02x%02x"/>' % (
            (left, top, right - left, bottom - top) + colour)

    shapes = [rect(0, 0, 16, 16, BLACK), rect(1, 1, 15, 15, PALE_CYAN)]
    shapes += [rect(left - 1, top - 1, right + 1, bottom + 1, BLACK) for left, top, right, bottom in H_PARTS]
    shapes += [rect(left, top, right, bottom, BLUE) for left, top, right, bottom in H_PARTS]
    return ('<svg xmlns="http://www.w3.org/2000/svg" width="16" height="16" viewBox="0 0 16 16" '
            'shape-rendering="crispEdges">\n' + "".join("  %s\n" % shape for shape in shapes) + "</svg>\n").encode()


def png(size):
    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    raw = b"".join(b"\0" + bytes(c for rgb in row for c in rgb) for row in rows(size))
    header = struct.pack(">IIBBBBB", size, size, 8, 2, 0, 0, 0)  # 8 bits per sample, colour type 2: RGB
    return b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b"")


def dib(size):
    """An icon image in the classic form: a 32-bit bitmap, bottom row first, in blue-green-red-alpha order, fully
    opaque, then its AND mask (all clear). Every Windows reads it, and so does Wine, which swaps the red and blue
    of PNG icon images."""
    header = struct.pack("<IiiHHIIiiII", 40, size, 2 * size, 1, 32, 0, 0, 0, 0, 0, 0)  # the height counts the mask
    colour = b"".join(bytes(c for r, g, b in row for c in (b, g, r, 255)) for row in reversed(rows(size)))
    mask_row = ((size + 31) // 32) * 4  # one bit a pixel, rows in whole 32-bit words
    return header + colour + bytes(mask_row * size)


def ico(sizes):
    """An icon directory (type 1): the classic bitmaps up to 48 pixels, PNG data for the large 256-pixel image,
    which keeps the file small and which Windows reads from Vista on."""
    images = [(size, png(size) if size >= 256 else dib(size)) for size in sizes]
    offset = 6 + 16 * len(images)
    directory, data = b"", b""
    for size, image in images:
        dim = 0 if size >= 256 else size  # 0 means 256 in an icon directory
        directory += struct.pack("<BBBBHHII", dim, dim, 0, 0, 1, 32, len(image), offset + len(data))
        data += image
    return struct.pack("<HHH", 0, 1, len(images)) + directory + data


def write(path, content):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    temp = path + ".tmp"
    with open(temp, "wb") as out:
        out.write(content)
    os.replace(temp, path)


def main():
    default = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "data", "icons")
    root = sys.argv[1] if len(sys.argv) > 1 else default
    images = [(size, png(size)) for size in SIZES]
    for size, image in images:
        write(os.path.join(root, "hicolor", f"{size}x{size}", "apps", "quillmere.png"), image)
    write(os.path.join(root, "hicolor", "scalable", "apps", "quillmere.svg"), svg())
    write(os.path.join(root, "quillmere.ico"), ico(ICO_SIZES))


if __name__ == "__main__":
    main()
