#!/usr/bin/env python3
"""Draws the table add-in's pictures and writes them under kelvarin/resources/.

Standard library only. Bitmaps are 24-bit BMP on magenta (the colour the
toolbar and menus treat as transparent); icons and cursors are RGBA PNG.

    python3 draw_pictures.py            write every picture, then check them
    python3 draw_pictures.py --sheet F  also write an enlarged contact sheet F
    python3 draw_pictures.py --check    only check the files already written

One style throughout: thin dark grid lines, white cells, a light blue
highlighted cell, green for what is added and red for what is removed.
"""

import argparse
import os
import struct
import sys
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
RESOURCES = os.path.dirname(HERE)

# Colours. Pure black is avoided in the picker pictures: the floating pickers
# draw them with black as the transparent colour.
MAGENTA = (255, 0, 255)
INK = (40, 40, 40)  # grid lines and outlines
DARK = (96, 96, 96)
GREY = (128, 128, 128)
HIDDEN = (176, 176, 176)  # a border that is not drawn, dotted
LIGHT = (212, 212, 212)
WHITE = (255, 255, 255)
HILITE = (190, 218, 250)  # the highlighted cell
MIDBLUE = (110, 156, 214)
BLUE = (20, 80, 170)
NAVY = (10, 36, 106)
GREEN = (0, 150, 40)
DKGREEN = (0, 96, 24)
RED = (210, 30, 30)
DKRED = (140, 0, 0)
YELLOW = (250, 212, 70)
ORANGE = (226, 150, 48)
BROWN = (140, 84, 30)
TAN = (238, 204, 156)
PINK = (240, 150, 160)

ART_COLOURS = {
    ".": None,  # leave as it is
    "K": INK,
    "D": DARK,
    "k": GREY,
    "h": HIDDEN,
    "l": LIGHT,
    "W": WHITE,
    "S": HILITE,
    "s": MIDBLUE,
    "b": BLUE,
    "N": NAVY,
    "G": GREEN,
    "g": DKGREEN,
    "R": RED,
    "r": DKRED,
    "Y": YELLOW,
    "O": ORANGE,
    "B": BROWN,
    "T": TAN,
    "P": PINK,
}


class Canvas:
    """A small raster of RGB (or RGBA) pixels, origin top left."""

    def __init__(self, w, h, fill=MAGENTA):
        self.w, self.h = w, h
        self.px = [[fill] * w for _ in range(h)]
        self.text = None  # PNG text chunks, for the few pictures that carry some

    def set(self, x, y, c):
        if 0 <= x < self.w and 0 <= y < self.h and c is not None:
            self.px[y][x] = c

    def get(self, x, y):
        return self.px[y][x]

    def fill(self, x0, y0, x1, y1, c):
        """Fills the inclusive rectangle (x0, y0)-(x1, y1)."""
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                self.set(x, y, c)

    def hline(self, x0, x1, y, c, dotted=False):
        for x in range(x0, x1 + 1):
            if not dotted or (x - x0) % 2 == 0:
                self.set(x, y, c)

    def vline(self, x, y0, y1, c, dotted=False):
        for y in range(y0, y1 + 1):
            if not dotted or (y - y0) % 2 == 0:
                self.set(x, y, c)

    def frame(self, x0, y0, x1, y1, c):
        self.hline(x0, x1, y0, c)
        self.hline(x0, x1, y1, c)
        self.vline(x0, y0, y1, c)
        self.vline(x1, y0, y1, c)

    def art(self, rows, x0=0, y0=0):
        """Paints rows of letters (see ART_COLOURS); '.' leaves a pixel as it is."""
        for dy, row in enumerate(rows):
            for dx, ch in enumerate(row):
                self.set(x0 + dx, y0 + dy, ART_COLOURS[ch])

    def paste(self, other, x0, y0):
        for y in range(other.h):
            for x in range(other.w):
                self.set(x0 + x, y0 + y, other.get(x, y))


def table(cv, xs, ys, line=INK, cell=WHITE):
    """A grid whose vertical lines are at xs and horizontal lines at ys."""
    cv.fill(xs[0], ys[0], xs[-1], ys[-1], cell)
    for x in xs:
        cv.vline(x, ys[0], ys[-1], line)
    for y in ys:
        cv.hline(xs[0], xs[-1], y, line)


# --------------------------------------------------------------------------
# Border styles and alignments: drawn from their definitions at any size, so
# the picker pictures and the toolbar faces show the same thing.

BORDER_STYLES = [
    ("{4D98DF4F-E6F2-41ca-B945-A1FFDF1F07E5}", "All Borders"),
    ("{0C483219-6A1D-48C6-9418-B27355667A36}", "Outside Border"),
    ("{223574A1-2CA7-448d-AEFD-F32E19AEC542}", "Inside Border"),
    ("{4B52CE5F-BDC4-4098-9D37-AB27930825C3}", "Left Border"),
    ("{8BCDC3A8-8910-4ce2-8B4E-D87827041508}", "Right Border"),
    ("{6730344D-16C3-4944-B0A6-22C75F476337}", "Top Border"),
    ("{040FD48B-F998-4d61-8394-17D84A5E92AB}", "Bottom Border"),
    ("{E13061B2-A18A-4032-AC11-C8716CF50FE5}", "Inside Horizontal Border"),
    ("{6866F48D-7DE4-47da-B9B7-57C57553AFA1}", "Inside Vertical Border"),
    ("{67D39EE0-06E2-4ce0-BAA9-B3164F07C1AF}", "No Border"),
]

ALIGNMENTS = [
    ("{06A68026-EB74-45fd-A792-ECC00F790781}", "Top Left"),
    ("{533FDAEC-8FB5-46cd-B269-E286F4C35581}", "Top Center"),
    ("{6C264F94-DFEB-4a94-9C75-052745E8E1D1}", "Top Right"),
    ("{1C1F5C3A-1DD5-4631-8860-4783D0623B85}", "Middle Left"),
    ("{9BBC8441-4637-4653-97A3-A2A61A568F6B}", "Middle Center"),
    ("{29BFD0A7-C751-4374-B0EB-C9D8A768490C}", "Middle Right"),
    ("{726B295C-52D0-42e6-8FCC-9CAF68ED7C33}", "Bottom Left"),
    ("{22B02761-389B-431b-A87E-90C8D1C2B6C7}", "Bottom Center"),
    ("{2CACBAB3-247F-4aea-805B-7430313FAE11}", "Bottom Right"),
]

# Which of the six line groups of a 2 x 2 grid each style draws:
# outer left, outer right, outer top, outer bottom, inner vertical, inner horizontal.
BORDER_LINES = [
    "LRTBVH",  # All Borders
    "LRTB",  # Outside Border
    "VH",  # Inside Border
    "L",  # Left Border
    "R",  # Right Border
    "T",  # Top Border
    "B",  # Bottom Border
    "H",  # Inside Horizontal Border
    "V",  # Inside Vertical Border
    "",  # No Border
]


def border_picture(style, n, background=WHITE):
    """An n x n (odd n) 2 x 2 grid: the style's lines dark, the others dotted."""
    cv = Canvas(n, n, background)
    mid, last = n // 2, n - 1
    shown = BORDER_LINES[style]
    lines = {
        "L": ("v", 0),
        "R": ("v", last),
        "V": ("v", mid),
        "T": ("h", 0),
        "B": ("h", last),
        "H": ("h", mid),
    }
    # Hidden lines first, so a drawn line always wins where two cross. The
    # dots restart at every grid line, so corners and crossings are dotted.
    def dot(pos):
        return (pos - (mid if pos >= mid else 0)) % 2 == 0

    for key in "LRVTBH":
        if key not in shown:
            kind, at = lines[key]
            for pos in range(n):
                if not dot(pos):
                    continue
                if kind == "v":
                    cv.set(at, pos, HIDDEN)
                else:
                    cv.set(pos, at, HIDDEN)
    for key in "LRVTBH":
        if key in shown:
            kind, at = lines[key]
            if kind == "v":
                cv.vline(at, 0, last, INK)
            else:
                cv.hline(0, last, at, INK)
    return cv


def align_picture(index, n=14):
    """An n x n cell with two lines of text set at one of nine alignments."""
    cv = Canvas(n, n, WHITE)
    cv.frame(0, 0, n - 1, n - 1, DARK)
    vert, horz = divmod(index, 3)
    inner = n - 2  # interior spans 1 .. n - 2
    long_len, short_len, gap = inner - 4, inner - 8, 3
    block = gap + 1
    top = [2, 1 + (inner - block) // 2, n - 2 - block][vert]
    for row, length in ((top, long_len), (top + gap, short_len)):
        if horz == 0:
            x0 = 2
        elif horz == 1:
            x0 = 1 + (inner - length) // 2
        else:
            x0 = n - 3 - length + 1
        cv.fill(x0, row, x0 + length - 1, row, NAVY)
    return cv


# --------------------------------------------------------------------------
# Toolbar images, 16 x 15 on magenta.

TB_W, TB_H = 16, 15


def tb():
    return Canvas(TB_W, TB_H)


def tb_line_weight():
    cv = tb()
    y = 1
    for weight in (1, 2, 3, 4):
        cv.fill(1, y, 14, y + weight - 1, INK)
        y += weight + 2
    return cv


def tb_border_color():
    # A corner of a table and a pencil drawing its border; rows 11-14 stay
    # free for the colour strip the toolbar paints.
    cv = tb()
    table(cv, [0, 4, 8], [2, 6, 10], line=HIDDEN)
    cv.frame(0, 2, 8, 10, INK)
    cv.art(
        [
            ".............KK.",
            "............KPPK",
            "...........KllK.",
            "..........KYYK..",
            ".........KYYK...",
            "........KYYK....",
            ".......KYYK.....",
            "......KTTK......",
            "......KTK.......",
            "......KK........",
        ]
    )
    return cv


def tb_shading_color():
    # A paint bucket pouring: the shading of cells.
    cv = tb()
    cv.art(
        [
            ".....KKK........",
            "....K...K.......",
            "....K..KKK......",
            "....K.KWWWK.....",
            "....KKWWWWWK....",
            "...KWWWWWWWWKss.",
            "..KWWWWWWWWKsss.",
            ".KlWWWWWWWKssss.",
            "..KlWWWWWK.sss..",
            "...KlWWWK...ss..",
            "....KlKK....s...",
        ]
    )
    return cv


def tb_font_color():
    cv = tb()
    cv.art(
        [
            "......KKKK......",
            "......KKKK......",
            ".....KK..KK.....",
            ".....KK..KK.....",
            "....KK....KK....",
            "....KK....KK....",
            "...KKKKKKKKKK...",
            "...KK......KK...",
            "..KK........KK..",
            "..KK........KK..",
            ".KKKK......KKKK.",
        ]
    )
    return cv


def tb_insert_table():
    cv = tb()
    table(cv, [0, 5, 10, 15], [1, 4, 7, 10, 13])
    cv.fill(1, 2, 14, 3, MIDBLUE)
    for x in (5, 10):
        cv.vline(x, 2, 3, INK)
    return cv


def two_cells(cv, split_line):
    cv.fill(0, 3, 15, 11, WHITE)
    cv.frame(0, 3, 15, 11, INK)
    if split_line:
        cv.vline(7, 3, 11, INK)
        cv.vline(8, 3, 11, INK)


def tb_merge_cells():
    cv = tb()
    two_cells(cv, False)
    cv.vline(7, 4, 10, HIDDEN, dotted=True)
    cv.vline(8, 5, 10, HIDDEN, dotted=True)
    cv.art(
        [
            "....b......b....",
            "....bb....bb....",
            ".bbbbbb..bbbbbb.",
            "....bb....bb....",
            "....b......b....",
        ],
        0,
        5,
    )
    return cv


def tb_unmerge_cells():
    cv = tb()
    two_cells(cv, True)
    cv.art(
        [
            "...b........b...",
            "..bb........bb..",
            ".bbbbbb..bbbbbb.",
            "..bb........bb..",
            "...b........b...",
        ],
        0,
        5,
    )
    return cv


def tb_size_rows():
    cv = tb()
    table(cv, [0, 5, 10], [1, 5, 9, 13])
    arrow = [".............b..", "............bbb.", "...........bbbbb"]
    arrow += [".............b.."] * 7
    cv.art(arrow + arrow[2::-1], 0, 1)
    return cv


def tb_size_columns():
    cv = tb()
    table(cv, [0, 5, 10, 15], [0, 4, 8])
    cv.art(
        [
            "..b..........b..",
            ".bb..........bb.",
            "bbbbbbbbbbbbbbbb",
            ".bb..........bb.",
            "..b..........b..",
        ],
        0,
        10,
    )
    return cv


def tb_insert_block():
    # A block (a cube) dropped into a highlighted cell.
    cv = tb()
    table(cv, [0, 14], [0, 14], cell=HILITE)
    cv.art(
        [
            "................",
            "................",
            "......KKKKKKK...",
            ".....KllllllKK..",
            "....KllllllKsK..",
            "...KKKKKKKKssK..",
            "...KWWWWWWKssK..",
            "...KWWWWWWKssK..",
            "...KWWWWWWKssK..",
            "...KWWWWWWKsK...",
            "...KWWWWWWKK....",
            "...KKKKKKKK.....",
        ]
    )
    return cv


def tb_match_cell():
    # The format brush: one cell's look painted onto others.
    cv = tb()
    cv.art(
        [
            ".KKKKKKKKKKK....",
            ".KSSSSSSSSSKKK..",
            ".KSSSSSSSSSKDK..",
            ".KKKKKKKKKKKDK..",
            "...........KDK..",
            "......KKKKKKDK..",
            "......KDDDDDDK..",
            "......KDKKKKKK..",
            ".....KKDKK......",
            ".....KBBBK......",
            ".....KBBBK......",
            ".....KBBBK......",
            ".....KBBBK......",
            ".....KBBBK......",
            "......KKK.......",
        ]
    )
    return cv


def tb_open_template():
    cv = tb()
    cv.art(
        [
            "................",
            ".KKKK...........",
            "KYYYYK..........",
            "KYYYYKKKKKKKK...",
            "KYYYKWWWWWWWWK..",
            "KYYYKWKWWKWWWK..",
            "KYYYKKKKKKKKKK..",
            "KYYYKWKWWKWWWK..",
            "KYYKKKKKKKKKKKKK",
            "KYYKOOOOOOOOOOK.",
            "KYKOOOOOOOOOOK..",
            "KYKOOOOOOOOOOK..",
            "KKOOOOOOOOOOK...",
            "KKKKKKKKKKKKK...",
            "................",
        ]
    )
    return cv


def tb_save_template():
    cv = tb()
    cv.art(
        [
            "KKKKKKKKKKKKKK..",
            "KbKWWWWWWWWKbKK.",
            "KbKKKKKKKKKKbbK.",
            "KbKWWKWWKWWKbbK.",
            "KbKKKKKKKKKKbbK.",
            "KbKWWKWWKWWKbbK.",
            "KbKKKKKKKKKKbbK.",
            "KbbbbbbbbbbbbbK.",
            "KbbbbbbbbbbbbbK.",
            "KbbKKKKKKKKKbbK.",
            "KbbKllKKllllKbK.",
            "KbbKllKKllllKbK.",
            "KbbKllKKllllKbK.",
            ".KKKKKKKKKKKKKK.",
            "................",
        ]
    )
    return cv


def tb_apply_style():
    # A table in a style: dark header, banded rows, and the brush applying it.
    cv = tb()
    table(cv, [0, 5, 10, 15], [0, 3, 6, 9, 12])
    cv.fill(1, 1, 14, 2, BLUE)
    cv.fill(1, 7, 14, 8, HILITE)
    for x in (5, 10):
        cv.vline(x, 1, 2, NAVY)
        cv.vline(x, 7, 8, INK)
    cv.art(
        [
            "..........KKKKK.",
            "..........KYYYK.",
            "..........KKKKK.",
            "...........KBK..",
            "...........KBK..",
            "................",
        ],
        0,
        9,
    )
    return cv


def tb_properties():
    cv = tb()
    cv.fill(0, 0, 14, 14, WHITE)
    cv.frame(0, 0, 14, 14, INK)
    cv.fill(1, 1, 13, 3, BLUE)
    cv.hline(0, 14, 4, INK)
    cv.fill(1, 5, 5, 13, LIGHT)
    cv.vline(6, 5, 13, INK)
    for y in (6, 9, 12):
        cv.hline(2, 4, y, DARK)
        cv.hline(8, 12, y, NAVY)
    for y in (7, 10):
        cv.hline(1, 13, y + 1, LIGHT)
    return cv


def tb_border_face(style):
    cv = tb()
    cv.paste(border_picture(style, 15), 0, 0)
    return cv


def tb_align_face(index):
    cv = tb()
    cv.paste(align_picture(index, 15), 0, 0)
    return cv


def toolbar_images():
    images = [
        tb_line_weight(),  # 52766
        tb_border_color(),  # 52767
        tb_border_face(0),  # 52768
        tb_shading_color(),  # 52784
        tb_font_color(),  # 52779
        tb_insert_table(),  # 52772
        tb_merge_cells(),  # 52774
        tb_unmerge_cells(),  # 52776
        tb_align_face(0),  # 52786
        tb_size_rows(),  # 52780
        tb_size_columns(),  # 52781
        tb_insert_block(),  # 52785
        tb_match_cell(),  # 52765
        tb_open_template(),  # 32770
        tb_save_template(),  # 32771
        tb_apply_style(),  # 32772
        tb_properties(),  # 52787
    ]
    images += [tb_align_face(i) for i in range(9)]
    images += [tb_border_face(s) for s in range(10)]
    return images


COLOUR_BUTTONS = (1, 3, 4)


def strip(images, width):
    """The images side by side; any width beyond them stays magenta."""
    cv = Canvas(width, TB_H)
    for i, img in enumerate(images):
        cv.paste(img, i * TB_W, 0)
    return cv


# --------------------------------------------------------------------------
# Insert/delete menu pictures, 16 x 16 on magenta.

MENU_PICTURES = [
    ("{630D19EC-39AB-4087-9C7C-3FB1B4551F94}", "Insert Table..."),
    ("{3A8243E5-AE55-441b-A6FE-08CE27B63147}", "Insert Columns to the Left"),
    ("{580296E2-EB75-46da-B881-093AA1CA65A6}", "Insert Columns to the right"),
    ("{795CBDCD-4167-4f7f-B544-56BC22068FEB}", "Insert Rows Above"),
    ("{E24D408C-DFB3-4ff5-9CEC-FEF5E76ACBB9}", "Insert Rows Below"),
    ("{5FF83D1D-5651-4465-913C-764FF61C2145}", "Delete Columns"),
    ("{4F69DC48-DA3A-4be3-8A3C-D6D57F5DF714}", "Delete Rows"),
]

def menu_grid(col_lines, row_lines, hilite_cols=(), hilite_rows=()):
    cv = Canvas(16, 16)
    table(cv, col_lines, row_lines)
    for c in hilite_cols:
        cv.fill(col_lines[c] + 1, row_lines[0] + 1, col_lines[c + 1] - 1, row_lines[-1] - 1, HILITE)
    for r in hilite_rows:
        cv.fill(col_lines[0] + 1, row_lines[r] + 1, col_lines[-1] - 1, row_lines[r + 1] - 1, HILITE)
    # Redraw the lines that run through the highlight.
    for x in col_lines:
        cv.vline(x, row_lines[0], row_lines[-1], INK)
    for y in row_lines:
        cv.hline(col_lines[0], col_lines[-1], y, INK)
    return cv


def plus(cv, cx, cy, area):
    """A green plus in the highlighted area, clearing the lines under it."""
    x0, y0, x1, y1 = area
    for y in range(cy - 3, cy + 4):
        for x in range(cx - 3, cx + 4):
            if x0 <= x <= x1 and y0 <= y <= y1 and (abs(x - cx) <= 1 or abs(y - cy) <= 1):
                cv.set(x, y, HILITE)
    for d in range(-2, 3):
        cv.set(cx + d, cy, GREEN)
        cv.set(cx, cy + d, GREEN)
    cv.set(cx, cy, DKGREEN)


def cross(cv, cx, cy):
    for d in range(-3, 4):
        for x, y in ((cx + d, cy + d), (cx + d, cy - d)):
            cv.set(x, y, RED)
            if abs(d) < 3:
                cv.set(x + 1, y, RED)


def menu_pictures():
    pics = []
    cv = Canvas(16, 16)
    cv.paste(tb_insert_table(), 0, 1)
    pics.append(cv)
    # Columns: the new column highlighted, with a plus.
    cv = menu_grid([0, 6, 10, 14], [0, 4, 9, 14], hilite_cols=[0])
    plus(cv, 3, 7, (1, 1, 5, 13))
    pics.append(cv)
    cv = menu_grid([0, 4, 8, 14], [0, 4, 9, 14], hilite_cols=[2])
    plus(cv, 11, 7, (9, 1, 13, 13))
    pics.append(cv)
    # Rows: the new row highlighted, with a plus.
    cv = menu_grid([0, 4, 9, 14], [0, 6, 10, 14], hilite_rows=[0])
    plus(cv, 7, 3, (1, 1, 13, 5))
    pics.append(cv)
    cv = menu_grid([0, 4, 9, 14], [0, 4, 8, 14], hilite_rows=[2])
    plus(cv, 7, 11, (1, 9, 13, 13))
    pics.append(cv)
    # Deletes: the middle column or row highlighted and struck out.
    cv = menu_grid([0, 3, 11, 14], [0, 4, 9, 14], hilite_cols=[1])
    cross(cv, 7, 7)
    pics.append(cv)
    cv = menu_grid([0, 4, 9, 14], [0, 3, 11, 14], hilite_rows=[1])
    cross(cv, 7, 7)
    pics.append(cv)
    return pics


# --------------------------------------------------------------------------
# Picker pictures. The border and alignment pictures fill their whole square
# (the popups copy them unscaled onto the button face; the floating pickers
# draw them with black as the transparent colour, so they hold no black).
# The icon and the cursor are RGBA with a transparent surround.

CLEAR = (0, 0, 0, 0)

PICK_ICON_ID = "221"
HAND_CURSOR = "{6FEDA74C-74A1-423a-ABC8-4A7CDA89E154}"
HAND_HOTSPOT = (9, 1)


def pick_table_icon():
    """The table pick button: an arrow pointing into a table's cell."""
    cv = Canvas(16, 16, CLEAR)
    table(cv, [0, 5, 10], [0, 3, 6, 9])
    cv.fill(6, 4, 9, 5, HILITE)
    cv.art(
        [
            "K.......",
            "KK......",
            "KWK.....",
            "KWWK....",
            "KWWWK...",
            "KWWWWK..",
            "KWWWWWK.",
            "KWWWKKKK",
            "KWKKWK..",
            "KK.KWK..",
            "K...KWK.",
            "....KKK.",
        ],
        6,
        4,
    )
    return cv


def hand_cursor():
    """The pointing hand shown over a web link; hot spot at the fingertip."""
    cv = Canvas(32, 32, CLEAR)
    cv.art(
        [
            "....KK...........",
            "...KWWK..........",
            "...KWWK..........",
            "...KWWK..........",
            "...KWWK..........",
            "...KWWKKK........",
            "...KWWKWWKKK.....",
            "...KWWKWWKWWKK...",
            "KK.KWWKWWKWWKWK..",
            "KWWKWWKWWKWWKWK..",
            "KWWKWWWWWWWWWWK..",
            ".KWWWWWWWWWWWWK..",
            ".KWWWWWWWWWWWWK..",
            "..KWWWWWWWWWWWK..",
            "..KWWWWWWWWWWK...",
            "...KWWWWWWWWWK...",
            "...KWWWWWWWWWK...",
            "....KWWWWWWWK....",
            "....KWWWWWWWK....",
            "....KKKKKKKKK....",
        ],
        HAND_HOTSPOT[0] - 4,
        HAND_HOTSPOT[1],
    )
    cv.text = {"hotspot": f"{HAND_HOTSPOT[0]},{HAND_HOTSPOT[1]}"}
    return cv


# --------------------------------------------------------------------------
# File writers.


def write_bmp(path, cv):
    """24-bit uncompressed BMP, rows bottom-up, padded to four bytes."""
    pad = (4 - (cv.w * 3) % 4) % 4
    rows = []
    for y in range(cv.h - 1, -1, -1):
        row = bytearray()
        for x in range(cv.w):
            r, g, b = cv.get(x, y)[:3]
            row += bytes((b, g, r))
        row += b"\0" * pad
        rows.append(bytes(row))
    data = b"".join(rows)
    header = struct.pack("<2sIHHI", b"BM", 14 + 40 + len(data), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, cv.w, cv.h, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    with open(path, "wb") as f:
        f.write(header + info + data)


def read_bmp(path):
    with open(path, "rb") as f:
        raw = f.read()
    magic, _size, _r1, _r2, offset = struct.unpack_from("<2sIHHI", raw, 0)
    if magic != b"BM":
        raise ValueError(f"{path}: not a BMP")
    _hs, w, h, _planes, bpp, comp = struct.unpack_from("<IiiHHI", raw, 14)
    if bpp != 24 or comp != 0:
        raise ValueError(f"{path}: {bpp} bits, compression {comp}; want 24-bit uncompressed")
    stride = (w * 3 + 3) // 4 * 4
    cv = Canvas(w, abs(h))
    for row in range(abs(h)):
        y = abs(h) - 1 - row if h > 0 else row
        base = offset + row * stride
        for x in range(w):
            b, g, r = raw[base + 3 * x : base + 3 * x + 3]
            cv.px[y][x] = (r, g, b)
    return cv


def _png_chunk(kind, data):
    body = kind + data
    return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)


def write_png(path, cv, text=None):
    """RGBA PNG (pixels given as RGB are opaque)."""
    raw = bytearray()
    for y in range(cv.h):
        raw.append(0)
        for x in range(cv.w):
            p = cv.get(x, y)
            raw += bytes(p if len(p) == 4 else (*p, 255))
    out = b"\x89PNG\r\n\x1a\n"
    out += _png_chunk(b"IHDR", struct.pack(">IIBBBBB", cv.w, cv.h, 8, 6, 0, 0, 0))
    for key, value in (text or {}).items():
        out += _png_chunk(b"tEXt", key.encode("latin-1") + b"\0" + value.encode("latin-1"))
    out += _png_chunk(b"IDAT", zlib.compress(bytes(raw), 9))
    out += _png_chunk(b"IEND", b"")
    with open(path, "wb") as f:
        f.write(out)


def png_size(path):
    with open(path, "rb") as f:
        head = f.read(33)
    if head[:8] != b"\x89PNG\r\n\x1a\n" or head[12:16] != b"IHDR":
        raise ValueError(f"{path}: not a PNG")
    w, h, depth, colour = struct.unpack(">IIBB", head[16:26])
    return w, h, depth, colour


# --------------------------------------------------------------------------


TOOLBAR_FACES = [
    ("52766", "line weight slot (never shown)", "four lines of growing weight"),
    ("52767", "Border Color", "a table corner and a pencil; colour strip below"),
    ("52768", "Cells Border", "the All Borders face"),
    ("52784", "Shading Color", "a paint bucket pouring; colour strip below"),
    ("52779", "Font Color", "the letter A; colour strip below"),
    ("52772", "Insert Table...", "a table with a blue heading row"),
    ("52774", "Merge Cells", "two cells, arrows pushing them into one"),
    ("52776", "Unmerge Cells", "a split cell, arrows pulling it apart"),
    ("52786", "Alignment", "the Top Left face"),
    ("52780", "Size Rows Equally", "three equal rows and a vertical dimension arrow"),
    ("52781", "Size Columns Euqally", "three equal columns and a horizontal dimension arrow"),
    ("52785", "Insert block...", "a block (a cube) in a highlighted cell"),
    ("52765", "Match Cell", "the format brush"),
    ("32770", "Open a table template", "an open folder holding a table"),
    ("32771", "Save as a table template", "a disk whose label is a table"),
    ("32772", "Apply Style", "a styled table (dark heading, banded row) and a brush"),
    ("52787", "Properties", "a properties palette: names and values"),
]
TOOLBAR_FACES += [("52786", f"alignment face {i}: {name}", "two text lines in a cell") for i, (_g, name) in enumerate(ALIGNMENTS)]
TOOLBAR_FACES += [("52768", f"border face {i}: {name}", "2 x 2 grid, drawn lines dark, others dotted") for i, (_g, name) in enumerate(BORDER_STYLES)]

MENU_SHOWS = [
    "a table with a blue heading row",
    "a grid, its left column highlighted with a green plus",
    "a grid, its right column highlighted with a green plus",
    "a grid, its top row highlighted with a green plus",
    "a grid, its bottom row highlighted with a green plus",
    "a grid, its middle column highlighted and struck out in red",
    "a grid, its middle row highlighted and struck out in red",
]


class Picture:
    def __init__(self, rel, cv, kind, shows, used):
        self.rel, self.cv, self.kind, self.shows, self.used = rel, cv, kind, shows, used


def build():
    """Every picture, in the order PICTURES.md lists them."""
    out = []
    images = toolbar_images()
    out.append(Picture("BITMAP/204.bmp", strip(images, 588), "strip",
                       "the toolbar's 36 images of 16 x 15 (listed below), then 12 columns of magenta",
                       "the toolbar's image list; the drop-downs put faces 17-35 on buttons 52786 and 52768"))
    out.append(Picture("BITMAP/11111.bmp", strip(images[:17], 272), "strip",
                       "the first 17 images of 204.bmp",
                       "bitmap of toolbar resource 11111"))
    for n, ((name, label), cv) in enumerate(zip(MENU_PICTURES, menu_pictures())):
        pos = [0, 1, 2, 4, 5, 7, 8][n]
        out.append(Picture(f"BITMAP/{name}.bmp", cv, "menu", MENU_SHOWS[n],
                           f'insert/delete menu 11112, position {pos} ("{label}")'))
    for code, (guid, name) in enumerate(BORDER_STYLES):
        out.append(Picture(f"BITMAP/{guid}.bmp", border_picture(code, 13), "picker",
                           f'"{name}": 2 x 2 grid, the lines the style draws dark, the others dotted grey',
                           f"border popup cell {code} and floating border picker button {1005 + code}"))
    for index, (guid, name) in enumerate(ALIGNMENTS):
        out.append(Picture(f"BITMAP/{guid}.bmp", align_picture(index, 14), "picker",
                           f'"{name}": a cell with two text lines set {name.lower()}',
                           f"alignment popup cell {index} and floating alignment picker button {1015 + index}"))
    out.append(Picture(f"ICON/{PICK_ICON_ID}.png", pick_table_icon(), "icon",
                       "an arrow pointing into a highlighted cell of a table (size chosen: 16 x 16)",
                       'icon 221 of the "Select a table" pick button of the save-as-template dialog'))
    out.append(Picture(f"CURSOR/{HAND_CURSOR}.png", hand_cursor(), "cursor",
                       "a white pointing hand (size chosen: 32 x 32); hot spot "
                       f"({HAND_HOTSPOT[0]}, {HAND_HOTSPOT[1]}) at the fingertip, also stored in the PNG's "
                       '"hotspot" text chunk',
                       "cursor over the web link of the update dialog"))
    return out


def write_all(items):
    for pic in items:
        path = os.path.join(RESOURCES, pic.rel)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        if pic.rel.endswith(".png"):
            write_png(path, pic.cv, pic.cv.text)
        else:
            write_bmp(path, pic.cv)


def size_text(pic):
    cv = pic.cv
    if pic.rel.endswith(".png"):
        return f"{cv.w} x {cv.h} RGBA PNG"
    return f"{cv.w} x {cv.h} 24-bit BMP"


def write_index(items):
    lines = [
        "# The add-in's pictures",
        "",
        "Drawn by `tools/draw_pictures.py` (run it to redraw them all; it checks",
        "what it wrote). Bitmaps are 24-bit BMP; magenta (255, 0, 255) is their",
        "transparent colour, except in the border and alignment pictures: these",
        "fill their square, are copied opaque by the popups and are drawn by the",
        "floating pickers with black as the transparent colour, so they hold",
        "neither magenta nor black. Icons and cursors are RGBA PNG; their sizes",
        "are this add-in's choice.",
        "",
        "| File | Size | Shows | Used by |",
        "|---|---|---|---|",
    ]
    for pic in items:
        lines.append(f"| `{pic.rel}` | {size_text(pic)} | {pic.shows} | {pic.used} |")
    lines += [
        "",
        "## Images of the toolbar strip `BITMAP/204.bmp`",
        "",
        "Image i is at x = 16 i. The three colour buttons keep rows 11-14 free:",
        "the toolbar paints the remembered colour there.",
        "",
        "| Image | Button id | Button | Shows |",
        "|---|---|---|---|",
    ]
    for i, (cid, label, shows) in enumerate(TOOLBAR_FACES):
        quoted = label if " face " in label or "(" in label else f'"{label}"'
        lines.append(f"| {i} | {cid} | {quoted} | {shows} |")
    with open(os.path.join(RESOURCES, "PICTURES.md"), "w") as f:
        f.write("\n".join(lines) + "\n")


EXPECTED_BMP = {
    "BITMAP/204.bmp": (588, 15, "strip"),
    "BITMAP/11111.bmp": (272, 15, "strip"),
}
for _name, _label in MENU_PICTURES:
    EXPECTED_BMP[f"BITMAP/{_name}.bmp"] = (16, 16, "menu")
for _name, _label in BORDER_STYLES:
    EXPECTED_BMP[f"BITMAP/{_name}.bmp"] = (13, 13, "picker")
for _name, _label in ALIGNMENTS:
    EXPECTED_BMP[f"BITMAP/{_name}.bmp"] = (14, 14, "picker")
EXPECTED_PNG = {
    f"ICON/{PICK_ICON_ID}.png": (16, 16),
    f"CURSOR/{HAND_CURSOR}.png": (32, 32),
}


def check():
    """Checks sizes, depth and backgrounds of the written files; returns the faults."""
    faults = []
    for rel, (w, h, kind) in EXPECTED_BMP.items():
        path = os.path.join(RESOURCES, rel)
        try:
            cv = read_bmp(path)
        except (OSError, ValueError) as e:
            faults.append(str(e))
            continue
        if (cv.w, cv.h) != (w, h):
            faults.append(f"{rel}: {cv.w} x {cv.h}, want {w} x {h}")
            continue
        if kind == "picker":
            # Shown opaque in the popups, with black transparent in the pickers.
            used = {cv.get(x, y) for y in range(h) for x in range(w)}
            for bad, why in ((MAGENTA, "magenta"), ((0, 0, 0), "black")):
                if bad in used:
                    faults.append(f"{rel}: picker picture holds {why}")
            continue
        for i in range(w // 16):
            x0 = i * 16
            pixels = [cv.get(x, y) for y in range(h) for x in range(x0, x0 + 16)]
            if MAGENTA not in pixels:
                faults.append(f"{rel}: image {i} has no magenta background")
            if kind == "strip" and i in COLOUR_BUTTONS:
                drawn = [(x - x0, y) for y in range(11, h) for x in range(x0, x0 + 16) if cv.get(x, y) != MAGENTA]
                if drawn:
                    faults.append(f"{rel}: image {i} draws at {drawn[0]}, under its colour strip")
        if rel == "BITMAP/204.bmp":
            # The buttons start with the faces of the first style and alignment.
            for button, face in ((2, 26), (8, 17)):
                if cv_region(cv, button * 16, 0, 16, h).px != cv_region(cv, face * 16, 0, 16, h).px:
                    faults.append(f"{rel}: image {button} differs from face {face}")
        tail = [cv.get(x, y) for y in range(h) for x in range(w // 16 * 16, w)]
        if any(p != MAGENTA for p in tail):
            faults.append(f"{rel}: the columns after the last whole image are not magenta")
    for rel, (w, h) in EXPECTED_PNG.items():
        try:
            got = png_size(os.path.join(RESOURCES, rel))
        except (OSError, ValueError) as e:
            faults.append(str(e))
            continue
        if got != (w, h, 8, 6):
            faults.append(f"{rel}: {got[0]} x {got[1]}, depth {got[2]}, colour type {got[3]}; want {w} x {h} RGBA")
    return faults


def contact_sheet(path, items, scale=8):
    """Every picture enlarged, read back from its file, on a button face grey,
    with its actual size below it: for looking at, not for shipping."""
    face = (236, 233, 216)
    pad = 4
    shown = []
    for pic in items:
        if pic.kind == "strip" and not pic.rel.endswith("204.bmp"):
            continue
        cv = read_bmp(os.path.join(RESOURCES, pic.rel)) if pic.rel.endswith(".bmp") else pic.cv
        if pic.kind == "strip":
            for i in range(cv.w // 16):
                sub = Canvas(16, cv.h)
                sub.paste(cv_region(cv, i * 16, 0, 16, cv.h), 0, 0)
                shown.append(sub)
        else:
            shown.append(cv)
    per_line = 9
    cell = 17 * scale + 24
    lines = (len(shown) + per_line - 1) // per_line
    sheet = Canvas(per_line * cell, lines * cell, (160, 160, 160))

    def flat(p):
        if len(p) == 4:
            a = p[3] / 255
            return tuple(round(p[i] * a + face[i] * (1 - a)) for i in range(3))
        return face if p == MAGENTA else p

    for n, cv in enumerate(shown):
        ox, oy = (n % per_line) * cell + pad, (n // per_line) * cell + pad
        k = scale if max(cv.w, cv.h) <= 17 else scale * 17 // max(cv.w, cv.h)
        for y in range(cv.h):
            for x in range(cv.w):
                sheet.fill(ox + x * k, oy + y * k, ox + x * k + k - 1, oy + y * k + k - 1, flat(cv.get(x, y)))
        sheet.fill(ox, oy + 17 * scale + 2, ox + cv.w + 3, oy + 17 * scale + cv.h + 5, face)
        for y in range(cv.h):
            for x in range(cv.w):
                sheet.set(ox + 2 + x, oy + 17 * scale + 4 + y, flat(cv.get(x, y)))
    write_png(path, sheet)


def cv_region(cv, x0, y0, w, h):
    out = Canvas(w, h)
    for y in range(h):
        for x in range(w):
            out.px[y][x] = cv.get(x0 + x, y0 + y)
    return out


def main():
    ap = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("--sheet", help="also write an enlarged contact sheet (PNG) here")
    ap.add_argument("--check", action="store_true", help="only check the written files")
    args = ap.parse_args()
    items = build()
    if not args.check:
        write_all(items)
        write_index(items)
    if args.sheet:
        contact_sheet(args.sheet, items)
    faults = check()
    for f in faults:
        print(f, file=sys.stderr)
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
