#!/usr/bin/python3
"""Checks drawings written by the host with ezdxf, an independent DXF reader.

For each drawing that dxf_interop_drawings writes:
  * `python3 -m ezdxf audit` finds no errors and applies no fixes;
  * check_drawing.py passes: ezdxf's audit applies no fixes, ezdxf writes the
    drawing as binary DXF, and GDAL's DXF driver reads the same *T blocks;
  * every ACAD_TABLE reads back with the host's row and column counts, row
    heights and column widths, and names a *T block (by name and by record
    handle) whose lines lie within the table's grid;
  * for the picture drawings, `python3 -m ezdxf draw` renders the table where
    the host draws it: red grid lines on the host's segments, nothing where
    merged cells or hidden edges leave a gap, blue fills on the host's fills.
    Two green markers at known points give the picture's scale and origin.

Exit status 0 when all holds, 1 with a list of failures, 77 when ezdxf,
matplotlib or GDAL's ogr2ogr is missing.
"""

import argparse
import json
import logging
import math
import os
import subprocess
import sys

PYTHON = "/usr/bin/python3"
TOLERANCE = 1e-9

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import check_drawing  # noqa: E402

try:
    import ezdxf
    import matplotlib  # noqa: F401  (ezdxf draw needs it)
    import matplotlib.image
    import numpy
except ImportError as missing:
    print(f"skipped: {missing}")
    sys.exit(77)

logging.getLogger("matplotlib").setLevel(logging.ERROR)
failures = []


def fail(drawing, message):
    failures.append(f"{drawing}: {message}")


def run(args):
    return subprocess.run(args, capture_output=True, text=True, timeout=600)


# ---------------------------------------------------------------- audit

def check_audit(path, name):
    result = run([PYTHON, "-m", "ezdxf", "audit", path])
    if result.returncode != 0 or "No errors found." not in result.stdout:
        fail(name, "ezdxf audit reports problems:\n" + result.stdout + result.stderr)


# ---------------------------------------------------------------- tables

def subclass(entity, marker):
    return entity.xtags.get_subclass(marker)


def check_table(doc, table, expected, name):
    label = f"table {expected['handle']}"
    ref = subclass(table, "AcDbBlockReference")
    grid = subclass(table, "AcDbTable")
    rows = grid.get_first_value(91)
    cols = grid.get_first_value(92)
    heights = [t.value for t in grid if t.code == 141]
    widths = [t.value for t in grid if t.code == 142]
    if (rows, cols) != (expected["rows"], expected["cols"]):
        fail(name, f"{label}: {rows} x {cols} cells, the host has "
                   f"{expected['rows']} x {expected['cols']}")
    for what, got, want in (("row heights", heights, expected["heights"]),
                            ("column widths", widths, expected["widths"])):
        if len(got) != len(want) or any(abs(a - b) > TOLERANCE for a, b in zip(got, want)):
            fail(name, f"{label}: {what} {got}, the host has {want}")

    block_name = ref.get_first_value(2, "")
    record_handle = grid.get_first_value(343, "0")
    record = doc.entitydb.get(record_handle)
    if record is None or record.dxftype() != "BLOCK_RECORD":
        fail(name, f"{label}: 343 names {record_handle}, which is no block record")
    elif record.dxf.name != block_name:
        fail(name, f"{label}: 343 names block {record.dxf.name}, code 2 names {block_name}")
    if not block_name.startswith("*T"):
        fail(name, f"{label}: its block {block_name!r} is not a *T block")
        return
    block = doc.blocks.get(block_name)
    if block is None:
        fail(name, f"{label}: its block {block_name} is missing")
        return
    texts = sorted(check_drawing.decoded(e.plain_text() if e.dxftype() == "MTEXT" else e.dxf.text)
                   for e in block if e.dxftype() in ("MTEXT", "TEXT"))
    if texts != sorted(expected["texts"]):
        fail(name, f"{label}: its block {block_name} shows the texts {texts}, "
                   f"the host draws {sorted(expected['texts'])}")
    lines = [e for e in block if e.dxftype() == "LINE"]
    if not lines:
        fail(name, f"{label}: its block {block_name} has no grid lines")
        return
    # Block coordinates: the insertion point is the origin, rows run down.
    width, height = sum(expected["widths"]), sum(expected["heights"])
    for line in lines:
        for p in (line.dxf.start, line.dxf.end):
            if not (-1e-6 <= p.x <= width + 1e-6 and -height - 1e-6 <= p.y <= 1e-6):
                fail(name, f"{label}: line point {p} of {block_name} is outside the grid "
                           f"0..{width} x {-height}..0")
                return


def check_tables(path, name, expectation):
    doc = ezdxf.readfile(path)
    found = {}
    for layout in [doc.modelspace(), *doc.layouts_and_blocks()]:
        for entity in layout:
            if entity.dxftype() == "ACAD_TABLE":
                found[entity.dxf.handle] = entity
    expected = {t["handle"]: t for t in expectation["tables"]}
    if set(found) != set(expected):
        fail(name, f"tables {sorted(found)} read, the host wrote {sorted(expected)}")
    for handle, table in found.items():
        if handle in expected:
            check_table(doc, table, expected[handle], name)
    star_t = [b.name for b in doc.blocks if b.name.upper().startswith("*T")]
    if len(star_t) != len(expected):
        fail(name, f"{len(star_t)} *T blocks for {len(expected)} tables")


# ---------------------------------------------------------------- picture

class Picture:
    """A rendered PNG with the affine map from drawing to pixel coordinates."""

    def __init__(self, png, markers):
        image = matplotlib.image.imread(png)
        r, g, b = image[..., 0], image[..., 1], image[..., 2]
        self.red = (r > 0.6) & (g < 0.35) & (b < 0.35)
        self.blue = (b > 0.6) & (r < 0.35) & (g < 0.35)
        green = (g > 0.6) & (r < 0.35) & (b < 0.35)
        ys, xs = numpy.nonzero(green)
        if len(xs) == 0:
            raise ValueError("the markers are not in the picture")
        middle = (xs.min() + xs.max()) / 2
        left, right = xs < middle, xs >= middle
        p1 = (xs[left].mean(), ys[left].mean())
        p2 = (xs[right].mean(), ys[right].mean())
        (w1x, w1y), (w2x, w2y) = markers
        self.sx = (p2[0] - p1[0]) / (w2x - w1x)
        self.sy = (p2[1] - p1[1]) / (w2y - w1y)
        self.ox = p1[0] - self.sx * w1x
        self.oy = p1[1] - self.sy * w1y

    def pixel(self, x, y):
        return self.ox + self.sx * x, self.oy + self.sy * y

    def near(self, mask, x, y, radius):
        px, py = self.pixel(x, y)
        h, w = mask.shape
        x0, x1 = max(int(px - radius), 0), min(int(px + radius) + 1, w)
        y0, y1 = max(int(py - radius), 0), min(int(py + radius) + 1, h)
        return x0 < x1 and y0 < y1 and bool(mask[y0:y1, x0:x1].any())


def samples(segment, count=20, margin=0.15):
    x1, y1, x2, y2 = segment
    for i in range(count):
        t = margin + (1 - 2 * margin) * i / (count - 1)
        yield x1 + (x2 - x1) * t, y1 + (y2 - y1) * t


def check_picture(path, name, expectation, workdir):
    png = os.path.join(workdir, name + ".png")
    result = run([PYTHON, "-m", "ezdxf", "draw", "-o", png, "--dpi", "100", path])
    if result.returncode != 0 or not os.path.exists(png):
        fail(name, "ezdxf draw failed:\n" + result.stdout + result.stderr)
        return
    try:
        picture = Picture(png, expectation["markers"])
    except ValueError as e:
        fail(name, str(e))
        return
    # A scale that makes a drawing unit at least a few pixels long.
    if abs(picture.sx) < 5:
        fail(name, f"the picture is too small to check ({picture.sx:.2f} px per unit)")
        return
    for table in expectation["tables"]:
        label = f"table {table['handle']}"
        for segment in table["red_segments"]:
            hits = sum(picture.near(picture.red, x, y, 2.5) for x, y in samples(segment))
            if hits < 18:
                fail(name, f"{label}: grid line {segment} is drawn on {hits} of 20 points")
        for segment in table["absent_segments"]:
            hits = sum(picture.near(picture.red, x, y, 1.0) for x, y in samples(segment, margin=0.3))
            if hits > 2:
                fail(name, f"{label}: a line is drawn at {segment}, where the host draws none")
        for x1, y1, x2, y2 in table["blue_fills"]:
            inner = [(x1 + (x2 - x1) * fx, y1 + (y2 - y1) * fy)
                     for fx in (0.2, 0.5, 0.8) for fy in (0.2, 0.5, 0.8)]
            hits = sum(picture.near(picture.blue, x, y, 0.5) for x, y in inner)
            if hits < 8:
                fail(name, f"{label}: the fill {x1},{y1}..{x2},{y2} is blue on {hits} of 9 points")
            outside = [(x1 - 0.3 * (x2 - x1), (y1 + y2) / 2), ((x1 + x2) / 2, y2 + 0.3 * (y2 - y1))]
            if any(picture.near(picture.blue, x, y, 0.5) for x, y in outside):
                fail(name, f"{label}: blue beyond the fill {x1},{y1}..{x2},{y2}")


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--writer", required=True, help="the dxf_interop_drawings program")
    parser.add_argument("--workdir", required=True, help="folder for drawings and pictures")
    args = parser.parse_args()
    if check_drawing.missing_tools():
        print(f"skipped: {check_drawing.missing_tools()} not installed")
        return 77
    os.makedirs(args.workdir, exist_ok=True)
    result = run([args.writer, args.workdir])
    if result.returncode != 0:
        print("writing the drawings failed:\n" + result.stdout + result.stderr)
        return 1
    with open(os.path.join(args.workdir, "expectations.json")) as f:
        expectations = json.load(f)
    for expectation in expectations:
        name = expectation["file"]
        path = os.path.join(args.workdir, name)
        check_audit(path, name)
        for failure in check_drawing.check_drawing(path, args.workdir):
            fail(name, failure)
        check_tables(path, name, expectation)
        if expectation["render"]:
            check_picture(path, name, expectation, args.workdir)
        print(f"checked {name}: {len(expectation['tables'])} tables")
    if failures:
        print("\n".join(["FAILED:"] + failures))
        return 1
    print("all drawings pass")
    return 0


if __name__ == "__main__":
    sys.exit(main())
