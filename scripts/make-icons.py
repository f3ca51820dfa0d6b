#!/usr/bin/env python3
"""Draws the program's icon files: a blue capital H outlined in black on a pale cyan square with a black border.

Writes data/icons/hicolor/<N>x<N>/apps/quillmere.png for 16, 32, 48, 128 and 256 pixels (24-bit, fully opaque)
and data/icons/quillmere.ico holding all five sizes for Windows builds. Run from anywhere; the output is
committed, so the build never draws icons itself.
"""
import os
import struct
import zlib

SIZES = (16, 32, 48, 128, 256)
BLACK = (0, 0, 0)
BLUE = (0, 64, 255)
PALE_CYAN = (204, 255, 255)

# The H on the 16-pixel grid the tray picture is drawn on: two stems and a bar, as (left, top, right, bottom),
# right and bottom exclusive. Larger sizes scale the same shapes.
H_PARTS = ((4, 3, 6, 13), (10, 3, 12, 13), (6, 7, 10, 9))


def in_h(u, v):
    return any(left <= u < right and top <= v < bottom for left, top, right, bottom in H_PARTS)


def pixel(x, y, size):
    """Colour of one pixel; the border and the outline are one pixel wide at 16, and grow slowly with size."""
    line = max(1, size // 32)
    if min(x, y) < line or max(x, y) >= size - line:
        return BLACK
    scale = size / 16
    if in_h((x + 0.5) / scale, (y + 0.5) / scale):
        return BLUE
    for dy in range(-line, line + 1):
        for dx in range(-line, line + 1):
            if in_h((x + dx + 0.5) / scale, (y + dy + 0.5) / scale):
                return BLACK
    return PALE_CYAN


def rows(size):
    return [[pixel(x, y, size) for x in range(size)] for y in range(size)]


def png(size):
    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    raw = b"".join(b"\0" + bytes(c for rgb in row for c in rgb) for row in rows(size))
    header = struct.pack(">IIBBBBB", size, size, 8, 2, 0, 0, 0)  # 8 bits per sample, colour type 2: RGB
    return b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b"")


def ico(images):
    """An icon directory (type 1) whose entries hold PNG data, which Windows reads for every size."""
    offset = 6 + 16 * len(images)
    directory, data = b"", b""
    for size, image in images:
        dim = 0 if size >= 256 else size  # 0 means 256 in an icon directory
        directory += struct.pack("<BBBBHHII", dim, dim, 0, 0, 1, 24, len(image), offset + len(data))
        data += image
    return struct.pack("<HHH", 0, 1, len(images)) + directory + data


def write(path, content):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    temp = path + ".tmp"
    with open(temp, "wb") as out:
        out.write(content)
    os.replace(temp, path)


def main():
    root = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "data", "icons")
    images = [(size, png(size)) for size in SIZES]
    for size, image in images:
        write(os.path.join(root, "hicolor", f"{size}x{size}", "apps", "quillmere.png"), image)
    write(os.path.join(root, "quillmere.ico"), ico(images))


if __name__ == "__main__":
    main()
