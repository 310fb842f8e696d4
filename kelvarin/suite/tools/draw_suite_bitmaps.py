#!/usr/bin/env python3
"""Draws the pictures of the add-in's buttons on the suite toolbar.

The suite menu group names them; the host looks them up by name beside the
suite's menu file, so they are installed with the modules, not compiled in.
Standard library only; 24-bit BMP, small 16 x 16 and big 32 x 32 (the small
art doubled).

    python3 draw_suite_bitmaps.py      write the four files beside this folder
"""

import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.dirname(HERE)

FACE = (240, 240, 240)
COLOURS = {
    ".": FACE,
    "K": (40, 40, 40),
    "W": (255, 255, 255),
    "S": (190, 218, 250),
    "b": (20, 80, 170),
    "B": (110, 156, 214),
    "Y": (250, 212, 70),
}

# Display Kelvarin: a table under the add-in's blue toolbar strip.
SHOW = [
    "................",
    ".bbbbbbbbbbbbbb.",
    ".bYYbBBbBBbBBbb.",
    ".bbbbbbbbbbbbbb.",
    "................",
    ".KKKKKKKKKKKKKK.",
    ".KSSSSKSSSSKSSK.",
    ".KSSSSKSSSSKSSK.",
    ".KKKKKKKKKKKKKK.",
    ".KWWWWKWWWWKWWK.",
    ".KWWWWKWWWWKWWK.",
    ".KKKKKKKKKKKKKK.",
    ".KWWWWKWWWWKWWK.",
    ".KWWWWKWWWWKWWK.",
    ".KKKKKKKKKKKKKK.",
    "................",
]

# Kelvarin Help: a blue book with a question mark.
HELP = [
    "................",
    "..bbbbbbbbbbb...",
    "..bWWWWWWWWWbK..",
    "..bWWWKKKWWWbK..",
    "..bWWKWWWKWWbK..",
    "..bWWWWWWKWWbK..",
    "..bWWWWWKWWWbK..",
    "..bWWWWKWWWWbK..",
    "..bWWWWKWWWWbK..",
    "..bWWWWWWWWWbK..",
    "..bWWWWKWWWWbK..",
    "..bWWWWWWWWWbK..",
    "..bbbbbbbbbbbK..",
    "...KKKKKKKKKKK..",
    "................",
    "................",
]


def bmp(rows):
    height, width = len(rows), len(rows[0])
    stride = (width * 3 + 3) & ~3
    body = b""
    for row in reversed(rows):  # bottom-up
        line = b"".join(bytes((b, g, r)) for (r, g, b) in row)
        body += line + b"\0" * (stride - len(line))
    header = struct.pack("<2sIHHI", b"BM", 54 + len(body), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(body), 2835, 2835, 0, 0)
    return header + info + body


def pixels(art, scale):
    rows = []
    for line in art:
        row = [COLOURS[c] for c in line for _ in range(scale)]
        rows.extend([row] * scale)
    return rows


def main():
    for name, art in (("SHOW", SHOW), ("HELP", HELP)):
        assert len(art) == 16 and all(len(r) == 16 for r in art), name
        for size, scale in (("SMALL", 1), ("BIG", 2)):
            path = os.path.join(OUT, "VOREL_KELVARIN_%s_%s.BMP" % (name, size))
            with open(path, "wb") as f:
                f.write(bmp(pixels(art, scale)))
            print(path)


if __name__ == "__main__":
    main()
