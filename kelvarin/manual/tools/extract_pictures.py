#!/usr/bin/env python3
"""Writes the manual's pictures from the add-in's own bitmaps: each toolbar
image of BITMAP/204.bmp and the insert/delete menu pictures as PNG, magenta
made transparent, scaled 2x so they read well on a page. Run it again when
resources/tools/draw_pictures.py changed the bitmaps."""
from pathlib import Path

from PIL import Image

HERE = Path(__file__).resolve().parent
RESOURCES = HERE.parent.parent / "resources" / "BITMAP"
OUT = HERE.parent / "images"

# Toolbar image index -> file name (see resources/PICTURES.md).
TOOLBAR = {
    1: "border-color", 2: "cells-border", 3: "shading-color", 4: "font-color",
    5: "insert-table", 6: "merge-cells", 7: "unmerge-cells", 8: "alignment",
    9: "size-rows", 10: "size-columns", 11: "insert-block", 12: "match-cell",
    13: "open-template", 14: "save-template", 15: "apply-style", 16: "properties",
}
MENU = {
    "{630D19EC-39AB-4087-9C7C-3FB1B4551F94}": "menu-insert-table",
    "{3A8243E5-AE55-441b-A6FE-08CE27B63147}": "menu-columns-left",
    "{580296E2-EB75-46da-B881-093AA1CA65A6}": "menu-columns-right",
    "{795CBDCD-4167-4f7f-B544-56BC22068FEB}": "menu-rows-above",
    "{E24D408C-DFB3-4ff5-9CEC-FEF5E76ACBB9}": "menu-rows-below",
    "{5FF83D1D-5651-4465-913C-764FF61C2145}": "menu-delete-columns",
    "{4F69DC48-DA3A-4be3-8A3C-D6D57F5DF714}": "menu-delete-rows",
}


def transparent(img):
    img = img.convert("RGBA")
    img.putdata([(r, g, b, 0) if (r, g, b) == (255, 0, 255) else (r, g, b, a)
                 for (r, g, b, a) in img.getdata()])
    return img


def save(img, name):
    img = img.resize((img.width * 2, img.height * 2), Image.NEAREST)
    img.save(OUT / f"{name}.png")


def main():
    OUT.mkdir(exist_ok=True)
    strip = transparent(Image.open(RESOURCES / "204.bmp"))
    for index, name in TOOLBAR.items():
        save(strip.crop((16 * index, 0, 16 * index + 16, 15)), name)
    for guid, name in MENU.items():
        save(transparent(Image.open(RESOURCES / f"{guid}.bmp")), name)


if __name__ == "__main__":
    main()
