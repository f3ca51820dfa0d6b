#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Writes a small Windows cursor file (a pointing hand) for the tests of the hand pointer.

usage: make-cursor.py OUTPUT [HOTSPOT_X HOTSPOT_Y]

A real .cur: an icon directory of type 2 whose one entry carries the hotspot, then a 32 x 32 bitmap with
32-bit colour and its AND mask, as Windows and Qt's image reader expect.
"""
import os
import struct
import sys

SIZE = 32
# A pointing hand on a 32-pixel grid: the raised finger and the palm, as (left, top, right, bottom), exclusive.
HAND = ((8, 1, 12, 14), (4, 13, 22, 28))


def inside(x, y):
    return any(left <= x < right and top <= y < bottom for left, top, right, bottom in HAND)


def colour(x, y):
    """BGRA of one pixel: a white hand with a black outline on a transparent ground."""
    if inside(x, y):
        return (255, 255, 255, 255)
    if any(inside(x + dx, y + dy) for dx in (-1, 0, 1) for dy in (-1, 0, 1)):
        return (0, 0, 0, 255)
    return (0, 0, 0, 0)


def bitmap():
    # Bitmap rows run bottom-up; the stated height counts the colour image and the mask.
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    pixels = b"".join(bytes(colour(x, y)) for y in reversed(range(SIZE)) for x in range(SIZE))
    mask = b""
    for y in reversed(range(SIZE)):
        bits = 0
        for x in range(SIZE):
            if colour(x, y)[3] == 0:
                bits |= 1 << (SIZE - 1 - x)
        mask += struct.pack(">I", bits)  # rows of 32 pixels are already 4-byte aligned
    return header + pixels + mask


def cursor(hotspot_x, hotspot_y):
    image = bitmap()
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 0, 0, hotspot_x, hotspot_y, len(image), 6 + 16)
    return struct.pack("<HHH", 0, 2, 1) + entry + image


def main():
    if len(sys.argv) not in (2, 4):
        sys.exit(__doc__.splitlines()[2])
    hotspot = (int(sys.argv[2]), int(sys.argv[3])) if len(sys.argv) == 4 else (9, 1)
    temp = sys.argv[1] + ".tmp"
    with open(temp, "wb") as out:
        out.write(cursor(*hotspot))
    os.replace(temp, sys.argv[1])


if __name__ == "__main__":
    main()
