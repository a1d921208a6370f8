#!/usr/bin/env python3
"""Draws the lamp glyphs of the on/off button: four 10 x 10 pictures side by
side (up, disabled, pressed, down) in one 40 x 10 picture with an 8-bit
palette, index 0 transparent. Run it to write IDB_BUTTONS_ONOFF.png beside it."""

import os
import struct
import zlib

SIZE = 10
# Palette: 0 transparent, then outline and fill colours.
PALETTE = [
    (0, 0, 0),        # 0 transparent
    (48, 48, 48),     # 1 outline
    (0, 80, 0),       # 2 lamp off
    (150, 150, 150),  # 3 disabled outline
    (205, 205, 205),  # 4 disabled fill
    (0, 150, 0),      # 5 lamp pressed
    (40, 230, 40),    # 6 lamp on
    (210, 255, 210),  # 7 highlight
]
# (outline, fill, highlight or None) of up, disabled, pressed, down.
STATES = [(1, 2, None), (3, 4, None), (1, 5, None), (1, 6, 7)]


def glyph_pixel(x, y, state):
    outline, fill, highlight = STATES[state]
    centre = (SIZE - 1) / 2
    d2 = (x - centre) ** 2 + (y - centre) ** 2
    if d2 > 4.6 ** 2:
        return 0
    if d2 > 3.5 ** 2:
        return outline
    if highlight is not None and (x, y) in ((3, 3), (3, 4), (4, 3)):
        return highlight
    return fill


def chunk(kind, data):
    body = kind + data
    return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)


def main():
    width = SIZE * len(STATES)
    rows = b"".join(
        b"\x00" + bytes(glyph_pixel(x % SIZE, y, x // SIZE) for x in range(width)) for y in range(SIZE))
    png = b"\x89PNG\r\n\x1a\n"
    png += chunk(b"IHDR", struct.pack(">IIBBBBB", width, SIZE, 8, 3, 0, 0, 0))
    png += chunk(b"PLTE", b"".join(bytes(c) for c in PALETTE))
    png += chunk(b"tRNS", b"\x00")
    png += chunk(b"IDAT", zlib.compress(rows, 9))
    png += chunk(b"IEND", b"")
    out = os.path.join(os.path.dirname(os.path.abspath(__file__)), "IDB_BUTTONS_ONOFF.png")
    with open(out, "wb") as f:
        f.write(png)


if __name__ == "__main__":
    main()
