#!/usr/bin/env python3
"""Draws the glyphs of the sweep panel's minimum, maximum and average buttons:
a band of sample columns (what one display column covers) with the line the
button selects drawn over it: the top edge (maximums), the bottom edge
(minimums) or the middle (averages). Each button gets four 17 x 11 glyphs side
by side, for its up, disabled, pressed and down states (the line lit like the
on/off lamp when down), in one picture with an 8-bit palette, index 0
transparent. Run it to write SweepMinimum.png, SweepMaximum.png and
SweepAverage.png beside it."""

import math
import os
import struct
import zlib

WIDTH = 17
HEIGHT = 11
PALETTE = [
    (0, 0, 0),        # 0 transparent
    (165, 165, 165),  # 1 sample band
    (215, 215, 215),  # 2 sample band, disabled
    (0, 70, 0),       # 3 line, up
    (150, 150, 150),  # 4 line, disabled
    (0, 140, 0),      # 5 line, pressed
    (0, 215, 0),      # 6 line, down
]
# (band, line) of up, disabled, pressed, down.
STATES = [(1, 3), (2, 4), (1, 5), (1, 6)]
# A fixed ripple so the band looks like sampled noise.
RIPPLE = [0, 1, 0, 1, 1, 0, 1, 0, 0, 1, 0, 1, 1, 0, 0, 1, 0]


def band(x):
    centre = 5 + 1.4 * math.sin(x * 2 * math.pi / (WIDTH - 1))
    top = round(centre - 2.6 - RIPPLE[x])
    bottom = round(centre + 2.6 + RIPPLE[(x + 5) % WIDTH])
    return max(top, 0), min(bottom, HEIGHT - 1), round(centre)


def line_y(x, kind):
    top, bottom, middle = band(x)
    return {"SweepMaximum": top, "SweepMinimum": bottom, "SweepAverage": middle}[kind]


def connected(x, y, kind):
    """The line's pixel at x, joined to its neighbour on the left."""
    here = line_y(x, kind)
    if x == 0:
        return y == here
    before = line_y(x - 1, kind)
    low, high = min(here, before), max(here, before)
    # Fill the vertical gap half in this column, so the line stays unbroken.
    if here > before:
        return (low + high + 1) // 2 <= y <= here
    return here <= y <= (low + high) // 2


def pixel(x, y, kind, state):
    band_colour, line_colour = STATES[state]
    if connected(x, y, kind):
        return line_colour
    top, bottom, _ = band(x)
    return band_colour if top <= y <= bottom else 0


def chunk(kind, data):
    body = kind + data
    return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)


def png(kind):
    width = WIDTH * len(STATES)
    rows = b"".join(
        b"\x00" + bytes(pixel(x % WIDTH, y, kind, x // WIDTH) for x in range(width)) for y in range(HEIGHT))
    data = b"\x89PNG\r\n\x1a\n"
    data += chunk(b"IHDR", struct.pack(">IIBBBBB", width, HEIGHT, 8, 3, 0, 0, 0))
    data += chunk(b"PLTE", b"".join(bytes(c) for c in PALETTE))
    data += chunk(b"tRNS", b"\x00")
    data += chunk(b"IDAT", zlib.compress(rows, 9))
    data += chunk(b"IEND", b"")
    return data


def main():
    folder = os.path.dirname(os.path.abspath(__file__))
    for kind in ("SweepMinimum", "SweepMaximum", "SweepAverage"):
        with open(os.path.join(folder, kind + ".png"), "wb") as f:
            f.write(png(kind))


if __name__ == "__main__":
    main()
