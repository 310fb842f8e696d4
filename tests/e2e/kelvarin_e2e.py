#!/usr/bin/python3
"""End-to-end cases of the table add-in: cadhost runs headless with
Kelvarin.arx loaded, scripts press the toolbar's buttons, and the saved
drawings are read back (cell by cell) and audited by ezdxf.

usage: kelvarin_e2e.py --cadhost BIN --kelvarin ARX --work DIR CASE
"""
import argparse
import os
import re
import shutil
import subprocess
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
sys.path.insert(0, os.path.join(HERE, "..", "interop"))
import check_drawing  # noqa: E402
import run_e2e as e2e  # noqa: E402
from run_e2e import Failure, audit, check, check_png, expect_failure, tables, values  # noqa: E402

SCRIPTS = os.path.join(HERE, "kelvarin")


class Case(e2e.Case):
    def __init__(self, args):
        args.testmod = None
        super().__init__(args)
        self.kelvarin = args.kelvarin

    def script(self, *names):
        """One script made of the given ones, in order."""
        text = "".join(open(os.path.join(SCRIPTS, n)).read() for n in names)
        name = names[-1]
        with open(self.path(name), "w") as f:
            f.write(text)
        return name

    def host(self, *args):
        run = self.run("--load", self.kelvarin, *args)
        check(run.code == 0, str(run))
        return run

    def start(self, *args):
        """A host running beside the case's own runs."""
        cmd = [self.cadhost, "--headless", "--profile", self.profile] + list(args)
        env = dict(os.environ, QT_QPA_PLATFORM="offscreen")
        return subprocess.Popen(cmd, cwd=self.work, env=env, stdout=subprocess.DEVNULL,
                                stderr=subprocess.DEVNULL)

    def wait_for(self, path, seconds):
        deadline = time.monotonic() + seconds
        while time.monotonic() < deadline:
            if os.path.exists(path):
                return True
            time.sleep(0.05)
        return False


def cells(path, index=0):
    """The cells of a table, row by row: dicts from code to its values."""
    table = tables(path)[index]
    result, current = [], None
    for code, value in table:
        if code == "171":
            current = {}
            result.append(current)
        if current is not None:
            current.setdefault(code, []).append(value)
    rows, cols = int(values(table, "91")[0]), int(values(table, "92")[0])
    check(len(result) == rows * cols, "%d cells for %dx%d" % (len(result), rows, cols))
    return [result[r * cols:(r + 1) * cols] for r in range(rows)]


def sizes(path):
    t = tables(path)[0]
    return [float(v) for v in values(t, "141")], [float(v) for v in values(t, "142")]


def spans(path):
    return [[(int(c.get("175", ["1"])[0]), int(c.get("176", ["1"])[0])) for c in row]
            for row in cells(path)]


def checked(c, name):
    """The saved drawing's path, once ezdxf and GDAL have read it alike."""
    audit(c.path(name))
    failures = check_drawing.check_drawing(c.path(name))
    check(not failures, "%s:\n  %s" % (name, "\n  ".join(failures)))
    return c.path(name)


# ---- cases

def case_merge_unmerge(c):
    run = c.host("--script", c.script("make_table.scr", "merge_unmerge.scr"), "--save", "out.dxf")
    s = spans(checked(c, "merged.dxf"))
    check(s[1][0] == (2, 2) and s[3][2] == (2, 2), "merged spans %s" % s)
    check(s[1][1] == (0, 0) and s[2][1] == (0, 0) and s[4][3] == (0, 0),
          "cells inside a merged region: %s" % s)
    check(all(v == (1, 1) for r, row in enumerate(s) for col, v in enumerate(row)
              if not (1 <= r <= 2 and col <= 1) and not (3 <= r <= 4 and 2 <= col <= 3)),
          "other cells: %s" % s)
    check("invalid input" not in run.out, run.out)
    s = spans(checked(c, "out.dxf"))
    check(all(v == (1, 1) for row in s for v in row), "after unmerge: %s" % s)
    check_png(c.path("unmerged.png"))


def patch_sizes(path, heights, widths):
    """Rewrites a saved table's row heights and column widths."""
    lines = open(path).read().split("\n")
    out, hi, wi, in_table = [], 0, 0, False
    for i in range(0, len(lines) - 1, 2):
        code, value = lines[i].strip(), lines[i + 1]
        if code == "0":
            in_table = value == "ACAD_TABLE"
        if in_table and code == "141":
            value, hi = repr(heights[hi]), hi + 1
        elif in_table and code == "142":
            value, wi = repr(widths[wi]), wi + 1
        out += [lines[i], value]
    open(path, "w").write("\n".join(out + lines[len(out):]))


def case_rows_columns(c):
    c.host("--script", c.script("make_table.scr"), "--save", "base.dxf")
    patch_sizes(c.path("base.dxf"), [1.0, 1.0, 2.0, 6.0, 1.0], [2.5, 3.0, 1.5, 2.0])
    c.host("--script", c.script("rows_columns.scr"), "--save", "out.dxf", "base.dxf")
    expect = {
        "cols_right.dxf": ([1, 1, 2, 6, 1], [2.5, 3, 1.5, 2, 1.5, 1.5, 1.5]),
        "cols_left.dxf": ([1, 1, 2, 6, 1], [2.5, 2.5, 3, 1.5, 2, 1.5, 1.5, 1.5]),
        "rows_equal.dxf": ([1, 3, 3, 3, 1], [2.5, 2.5, 3, 1.5, 2, 1.5, 1.5, 1.5]),
        "rows_above.dxf": ([1, 3, 3, 3, 3, 3, 1], [2.5, 2.5, 3, 1.5, 2, 1.5, 1.5, 1.5]),
        "out.dxf": ([1, 3, 3, 3, 1], [3, 1.5, 2, 1.5, 1.5, 1.5]),
    }
    for name, (heights, widths) in expect.items():
        got = sizes(checked(c, name))
        check(got == ([float(h) for h in heights], [float(w) for w in widths]),
              "%s: heights, widths %s, expected %s" % (name, got, (heights, widths)))


def case_rows_columns_merged(c):
    c.host("--script", c.script("make_table.scr", "rows_columns_merged.scr"), "--save", "out.dxf")
    s = spans(checked(c, "merged_cols_left.dxf"))
    check(sizes(c.path("merged_cols_left.dxf")) == ([1.0] * 5, [2.5] * 6), "columns left")
    check(s[1][3] == (2, 2), "merged cell after columns left: %s" % s)
    s = spans(checked(c, "merged_rows_below.dxf"))
    check(sizes(c.path("merged_rows_below.dxf")) == ([1.0] * 7, [2.5] * 6), "rows below")
    check(s[1][3] == (2, 2) and s[3][3] == (1, 1), "merged cell after rows below: %s" % s)
    s = spans(checked(c, "out.dxf"))
    check(sizes(c.path("out.dxf")) == ([1.0] * 6, [2.5] * 5), "after deletes")
    check(s[1][3] == (1, 2) and s[2][3] == (0, 0), "merged cell after deletes: %s" % s)
    check(sum(v != (1, 1) for row in s for v in row) == 2, "other merges: %s" % s)


def case_match_cell(c):
    run = c.host("--script", c.script("make_table.scr", "match_cell.scr"), "--save", "out.dxf")
    check(run.out.count("Select destination cell:") >= 6, "prompts:\n%s" % run.out)
    t = cells(checked(c, "out.dxf"))
    # The title cell is middle centre (5); data cells are top centre by style.
    for r, col in ((2, 1), (4, 3)):
        check(t[r][col].get("170") == ["5"], "cell %d,%d: %s" % (r, col, t[r][col]))
    touched = [(r, col) for r, row in enumerate(t) for col, cell in enumerate(row)
               if r > 0 and "170" in cell]
    check(sorted(touched) == [(2, 1), (4, 3)], "cells changed: %s" % touched)


def case_no_selection(c):
    run = c.host("--script", c.script("make_table.scr", "no_selection.scr"), "--save", "out.dxf")
    check(run.out.count("The selection isn't a table.") == 7, run.out)
    check(sizes(c.path("out.dxf")) == ([1.0] * 5, [2.5] * 4), "the table changed")
    check(all(v == (1, 1) for row in spans(c.path("out.dxf")) for v in row), "merged")


def make_block_drawing(path):
    import ezdxf
    doc = ezdxf.new("R2004")
    block = doc.blocks.new("ATTS10")
    block.add_lwpolyline([(0, 0), (1, 0), (1, 1), (0, 1)], close=True)
    for i in range(1, 11):
        block.add_attdef("TAG%d" % i, (0, -0.2 * i), text="d%d" % i, dxfattribs={
            "prompt": "" if i == 3 else "Value %d" % i, "height": 0.1})
    const = doc.blocks.new("CONSTONLY")
    const.add_circle((0.5, 0.5), 0.4)
    const.add_attdef("FIXED", (0.1, 0.1), text="C1", dxfattribs={"flags": 2, "height": 0.2})
    doc.saveas(path)


def case_blocks(c):
    make_block_drawing(c.path("blocks.dxf"))
    run = c.host("--script", c.script("make_table.scr", "blocks.scr"), "--save", "out.dxf",
                 "blocks.dxf")
    check("Invalid block name." in run.out and "Block has not been defined." in run.out, run.out)
    doc = audit(checked(c, "out.dxf"))
    handles = {b.name: b.block_record_handle for b in doc.blocks}
    t = cells(c.path("out.dxf"))
    for col in (0, 1):
        cell = t[1][col]
        check(cell.get("171") == ["2"], "cell 1,%d is no block cell: %s" % (col, cell))
        check(cell.get("340") == [handles["ATTS10"]], "block of 1,%d: %s" % (col, cell))
        check(cell.get("144") == ["0.5"], "scale of 1,%d: %s" % (col, cell))
        check(abs(float(cell["145"][0]) - 1.5707963) < 1e-6, "rotation: %s" % cell["145"])
        check(cell.get("170") == ["5"], "alignment of 1,%d: %s" % (col, cell))
        check(cell.get("300") == ["first", "d2", "d3", "d4", "d5", "d6", "d7", "eighth",
                                  "ninth", "tenth"], "attribute values: %s" % cell.get("300"))
    const = t[2][2]
    check(const.get("171") == ["2"] and const.get("340") == [handles["CONSTONLY"]], str(const))
    check(const.get("179", ["0"]) == ["0"], "constant attributes got values: %s" % const)
    check(t[3][3].get("171") == ["1"], "the cancelled cell changed: %s" % t[3][3])
    check_png(c.path("insert_block_dialog.png"))
    check_png(c.path("edit_attributes_page2.png"))


def table_blocks(path):
    """Each table's *T block entities by type, in the drawing's table order."""
    import ezdxf
    doc = ezdxf.readfile(path)
    result = []
    for t in tables(path):
        block = doc.blocks.get(values(t, "2")[0])
        check(block is not None, "no *T block %s" % values(t, "2"))
        result.append(list(block))
    return result


def first(cell, code):
    v = cell.get(code)
    return v[0] if v else None


# A cell's top, right, bottom and left edge: colour, line weight, shown (1).
EDGE_CODES = (("69", "65", "66", "68"), ("279", "275", "276", "278"),
              ("289", "285", "286", "288"))


def edges(cell):
    """The cell's edges as (colours, weights, shown), each top, right, bottom, left."""
    return tuple(tuple(first(cell, code) for code in codes) for codes in EDGE_CODES)


def case_border_styles(c):
    c.host("--script", c.script("border_styles.scr"), "--save", "out.dxf")
    out = checked(c, "out.dxf")
    blocks = table_blocks(out)
    counts = [sum(e.dxftype() == "LINE" for e in b) for b in blocks]
    expected = [21, 12, 12, 3, 3, 3, 3, 6, 6, 1, 20, 14]
    check(counts == expected, "grid lines per table %s, expected %s" % (counts, expected))
    # With no border colour chosen the edges are ByLayer (256), never the
    # 65535 of the unchosen -1; "ByBlock" from the popup gives 0. The weight
    # is the line weight box's first choice, ByBlock (-2).
    # The grid lines of table 9's middle cell, as (row, column, edge), edges
    # numbered top, right, bottom, left: its own and its neighbours' sides.
    middle = {(1, 1, e) for e in range(4)} | {(0, 1, 2), (1, 2, 3), (2, 1, 0), (1, 0, 1)}
    for t in range(len(blocks)):
        for r, row in enumerate(cells(out, t)):
            for col, cell in enumerate(row):
                colours, weights, _ = edges(cell)
                want = ["0" if t == 9 and (r, col, e) in middle else "256" for e in range(4)]
                check(all(v in (None, w) for v, w in zip(colours, want)) and
                      all(v in (None, "-2") for v in weights),
                      "table %d cell %d,%d: edges %s" % (t, r, col, edges(cell)))
    # The *T blocks draw tables 0 to 8, formatted all over, in the edges'
    # colour; tables 10 and 11 partly in the table style's.
    lines = [[e.dxf.color for e in b if e.dxftype() == "LINE"] for b in blocks]
    check(all(0 <= v <= 256 for t in lines for v in t), "grid line colours %s" % lines)
    check(all(set(t) == {256} for t in lines[:9] if t) and lines[9] == [0],
          "grid line colours %s" % lines)
    check(edges(cells(out, 9)[1][1])[0] == ("0",) * 4, "ByBlock: %s" % (cells(out, 9)[1][1],))


def outline(x0, y0, x1, y1, width=2.5, height=1.0):
    """The grid segments around a cell range, (start, end) from left or top."""
    xs = [x0 + i * width for i in range(round((x1 - x0) / width) + 1)]
    ys = [y0 - i * height for i in range(round((y0 - y1) / height) + 1)]
    return sorted([((a, y), (b, y)) for a, b in zip(xs, xs[1:]) for y in (y0, y1)] +
                  [((x, a), (x, b)) for a, b in zip(ys, ys[1:]) for x in (x0, x1)])


def case_formatting(c):
    c.host("--script", c.script("formatting.scr"), "--save", "out.dxf")
    fresh = tables(checked(c, "fresh.dxf"))
    check(fresh == tables(checked(c, "made.dxf")),
          "a fresh Font Color or Shading Color click changed the table")
    check(tables(checked(c, "border_color.dxf")) == fresh, "the Border Color popup changed a table")
    t = cells(checked(c, "out.dxf"), 0)
    check(first(t[0][0], "64") == "1" and first(t[0][1], "64") == "1", "red row 0: %s" % t[0])
    check(first(t[0][2], "64") == "5", "the floating picker's blue: %s" % t[0][2])
    check(first(t[2][2], "64") == "42", "More Colors... accepted: %s" % t[2][2])
    check(first(t[1][1], "64") == "42", "a plain Font Color click: %s" % t[1][1])
    check(first(t[1][2], "63") == "2" and first(t[1][2], "283") == "1",
          "yellow (More Colors... cancelled on it): %s" % t[1][2])
    check(first(t[1][1], "283") in (None, "0"), "the plain click kept a fill: %s" % t[1][1])
    check(first(t[2][0], "283") in (None, "0"), "'None' kept a fill: %s" % t[2][0])
    check(first(t[2][1], "170") == "5", "keyboard alignment: %s" % t[2][1])
    check(first(t[2][0], "170") == "5", "a plain Alignment click: %s" % t[2][0])
    source = t[1][0]
    check(first(source, "170") == "9" and first(source, "64") == "5", "source: %s" % source)
    # Its outside border: all four edges shown, green, 2.11 mm from the box.
    border = (("3",) * 4, ("211",) * 4, ("1",) * 4)
    check(edges(source) == border, "source edges: %s" % (edges(source),))
    u = cells(c.path("out.dxf"), 1)
    for r, col in ((0, 2), (1, 0)):
        cell = u[r][col]
        for code in ("170", "64", "63", "283"):
            check(first(cell, code) == first(source, code),
                  "cell %d,%d of the second table, code %s: %s vs %s" %
                  (r, col, code, cell.get(code), source.get(code)))
    check(edges(u[0][2]) == border, "plain target edges: %s" % (edges(u[0][2]),))
    # The second table draws that border around the plain target and around
    # the whole merged target (rows 1 and 2, columns 0 and 1), nowhere else.
    drawn = sorted(((e.dxf.start.x, e.dxf.start.y), (e.dxf.end.x, e.dxf.end.y))
                   for e in table_blocks(c.path("out.dxf"))[1]
                   if e.dxftype() == "LINE" and (e.dxf.color, e.dxf.lineweight) == (3, 211))
    want = sorted(outline(5.0, 0.0, 7.5, -1.0) + outline(0.0, -1.0, 5.0, -3.0))
    check(drawn == want, "green 2.11 mm lines of the second table:\n  %s\nexpected\n  %s" %
          (drawn, want))
    check_png(c.path("font_picker.png"))


def case_directive_failures(c):
    # The popup and picker directives misused, or aimed at what is not open:
    # the script stops at that line with its reason (closing what is open).
    runs = [("@dropdown 52768\n@choose two\n", 2, "expected @choose N"),
            ("@picker Border\n", 1, "expected @picker TITLE ID"),
            ("@key\n", 1, "expected @key NAME"),
            ("@dropdown 52786\n@key Bogus\n", 2, 'unknown key "Bogus"'),
            ("@choose 3\n", 1, "no popup or menu is open"),
            ("@tearoff\n", 1, "no popup or menu is open"),
            ("@dropdown 52768\n@tearoff\n@picker Border 1009\n@picker Alignment 1015\n", 4,
             'no floating picker titled "Alignment" is shown'),
            ("@dropdown 52786\n@tearoff\n@picker Alignment 1005\n", 3,
             'the picker "Alignment" has no control 1005')]
    for i, (text, line, reason) in enumerate(runs):
        name = "failing%d.scr" % i
        with open(c.path(name), "w") as f:
            f.write(text)
        expect_failure(c.run("--load", c.kelvarin, "--script", name), "%s:%d:" % (name, line),
                       reason)


def registry_values(profile):
    path = os.path.join(profile, "user.reg")
    text = open(path).read() if os.path.exists(path) else ""
    key = text.find("Kelvarin\\ToolBar]")
    check(key >= 0, "no toolbar key in user.reg:\n%s" % text)
    section = text[key:].split("\n[", 1)[0]
    return {m.group(1): int(m.group(2), 16)
            for m in re.finditer(r'"(\w+)"=dword:([0-9a-fA-F]{8})', section)}


def write_toolbar_key(profile, **dwords):
    os.makedirs(profile, exist_ok=True)
    lines = ["REGEDIT4", "",
             "[HKEY_CURRENT_USER\\software\\Vorel\\Vorel2005\\Kelvarin\\ToolBar]"]
    lines += ['"%s"=dword:%08x' % (k, v) for k, v in dwords.items()]
    open(os.path.join(profile, "user.reg"), "w").write("\n".join(lines) + "\n")


def case_toolbar_state(c):
    # First start: no key; the bar floats at (120, 120) and is saved as shown.
    c.host("--script", c.script("toolbar_state.scr"))
    v = registry_values(c.profile)
    check(v.get("Visible") == 1 and v.get("IsFloating") == 1, "first start: %s" % v)
    # Docked on the right by the user last time: there again, and saved so.
    write_toolbar_key(c.profile, Visible=1, PosX=0, PosY=0, IsFloating=0, DockStyle=0x4000)
    c.host("--script", c.script("toolbar_state.scr"), "--screenshot", "right.png")
    v = registry_values(c.profile)
    check(v.get("IsFloating") == 0 and v.get("DockStyle") == 0x4000, "docked right: %s" % v)
    check_png(c.path("right.png"))
    # Floating at a place of its own: it comes back there.
    write_toolbar_key(c.profile, Visible=1, PosX=300, PosY=200, IsFloating=1, DockStyle=0)
    c.host("--script", c.script("toolbar_state.scr"), "--screenshot", "floating.png")
    v = registry_values(c.profile)
    check(v.get("IsFloating") == 1 and (v.get("PosX"), v.get("PosY")) == (300, 200),
          "floating: %s" % v)
    # Two sides at once is no side: the bar stays floating where it starts.
    write_toolbar_key(c.profile, Visible=1, IsFloating=0, DockStyle=0x3000)
    c.host("--script", c.script("toolbar_state.scr"))
    v = registry_values(c.profile)
    check(v.get("IsFloating") == 1 and (v.get("PosX"), v.get("PosY")) == (120, 120),
          "two sides: %s" % v)



# ---- template database

def registry_string(profile, value):
    """A string value of the Kelvarin key in the user hive, or None."""
    path = os.path.join(profile, "user.reg")
    text = open(path, encoding="utf-8").read() if os.path.exists(path) else ""
    key = text.find("Vorel2005\\Kelvarin]")
    if key < 0:
        return None
    section = text[key:].split("\n[", 1)[0]
    m = re.search(r'"%s"="((?:[^"\\]|\\.)*)"' % value, section)
    return m.group(1).replace("\\\\", "\\").replace('\\"', '"') if m else None


def work_script(c, *names):
    """A script with $WORK standing for the case's folder."""
    name = c.script(*names)
    text = open(c.path(name)).read().replace("$WORK", c.work)
    open(c.path(name), "w").write(text)
    return name


def dxf_unicode(text):
    """A name as written in an AC1018 file: non-ASCII letters are \\U+XXXX."""
    return re.sub(r"\\U\+([0-9A-Fa-f]{4})", lambda m: chr(int(m.group(1), 16)), text)


def template_blocks(path):
    """The template names ezdxf lists in a template database."""
    doc = audit(checked_path(path))
    return [dxf_unicode(b.name) for b in doc.blocks if not b.name.startswith("*")]


def checked_path(path):
    failures = check_drawing.check_drawing(path)
    check(not failures, "%s:\n  %s" % (path, "\n  ".join(failures)))
    return path


def case_db_setting(c):
    run = c.host("--script", work_script(c, "db_setting.scr"))
    db = c.path("My Templates.db")
    check(os.path.isfile(db), "no template database made:\n%s" % run.out)
    check(registry_string(c.profile, "DBLocation") == db,
          "DBLocation: %r" % registry_string(c.profile, "DBLocation"))
    check(template_blocks(db) == [], "a new database holds templates")
    check_png(c.path("db_setting.png"))


def model_space_references(path):
    """Block names of the model-space references of a drawing, as ezdxf reads them."""
    doc = audit(checked_path(path))
    return sorted(dxf_unicode(e.dxf.name) for e in doc.modelspace() if e.dxftype() == "INSERT")


def template_tables(path, name):
    """The tables inside a template's block, as ezdxf reads them."""
    doc = audit(checked_path(path))
    blocks = [b for b in doc.blocks if dxf_unicode(b.name) == name]
    check(len(blocks) == 1, "%d blocks named %r" % (len(blocks), name))
    return [e for e in blocks[0] if e.dxftype() == "ACAD_TABLE"]


def case_template_save(c):
    run = c.host("--script", work_script(c, "make_table.scr", "template_save.scr"))
    db = c.path("Templates.db")
    check(registry_string(c.profile, "DBLocation") == db,
          "DBLocation: %r" % registry_string(c.profile, "DBLocation"))
    check(template_blocks(db) == ["Door schedule \u00dc"], "templates: %r" % template_blocks(db))
    check(model_space_references(db) == ["Door schedule \u00dc"],
          "references: %r" % model_space_references(db))
    found = template_tables(db, "Door schedule \u00dc")
    check(len(found) == 1, "the template holds %d tables" % len(found))
    placed = [float(values(t, "10")[0]) for t in tables(db)] + \
        [float(values(t, "20")[0]) for t in tables(db)]
    check(placed == [0.0, 0.0], "the template's table is not at the block origin: %r" % placed)
    check(run.out.count("Invalid characters in group name.") == 14, run.out)
    check_png(c.path("save_dialog.png"))
    # Again, another letter case: the replace question, one reference kept.
    c.host("--script", c.script("make_table.scr", "template_replace.scr"))
    check(template_blocks(db) == ["Door schedule \u00dc"], "templates: %r" % template_blocks(db))
    check(model_space_references(db) == ["Door schedule \u00dc"],
          "references after replacing: %r" % model_space_references(db))


def saved_template_database(c):
    """Runs the save case's script: Templates.db holding "Door schedule \u00dc"."""
    c.host("--script", work_script(c, "make_table.scr", "template_save.scr"))
    return c.path("Templates.db")


def case_template_open(c):
    db = saved_template_database(c)
    run = c.host("--script", c.script("template_open.scr"), "--save", "placed.dxf")
    check(run.out.count("Specify insertion point:") == 2, run.out)
    placed = checked(c, "placed.dxf")
    found = tables(placed)
    check(len(found) == 1, "%d tables placed" % len(found))
    at = (float(values(found[0], "10")[0]), float(values(found[0], "20")[0]))
    check(at == (30.0, 40.0), "the table stands at %r" % (at,))
    check(model_space_references(placed) == [], "references left: %r"
          % model_space_references(placed))
    check(template_blocks(placed) == [], "blocks left: %r" % template_blocks(placed))
    check(template_blocks(db) == ["Door schedule \u00dc"], "the template went")
    check_png(c.path("open_dialog.png"))

    c.host("--script", c.script("template_undo.scr"), "--save", "redone.dxf")
    check(tables(checked(c, "undone.dxf")) == [], "U left the placed table")
    check(template_blocks(c.path("undone.dxf")) == [], "U left a block")
    redone = tables(checked(c, "redone.dxf"))
    check(len(redone) == 1 and values(redone[0], "10") == values(found[0], "10"),
          "REDO did not bring the table back")

    run = c.host("--script", c.script("template_delete.scr"))
    check(template_blocks(db) == [], "after deleting: %r" % template_blocks(db))
    check(model_space_references(db) == [], "references after deleting: %r"
          % model_space_references(db))
    check_png(c.path("open_after_delete.png"))


def case_template_failures(c):
    db = saved_template_database(c)
    good = open(db, "rb").read()
    with open(db, "wb") as f:
        f.write(b"0\nSECTION\n2\nENTITIES\n0\nLINE\n10\nabc\n")
    bad = open(db, "rb").read()
    run = c.host("--script", c.script("make_table.scr", "template_unreadable.scr"))
    check(open(db, "rb").read() == bad, "the unreadable database was changed")
    check("Can't read the template database." in run.out, run.out)

    os.remove(db)
    run = c.host("--script", c.script("template_no_database.scr"))
    check(not os.path.exists(db), "a database was made after No")

    # A second host holds the file (its open dialog, then the insertion point)
    # while this one saves a template: the save is refused and reported, and
    # the file keeps what it had. The holder waits about five seconds.
    with open(db, "wb") as f:
        f.write(good)
    for attempt in range(3):
        holder = c.start("--load", c.kelvarin, "--script", c.script("template_hold.scr"))
        check(c.wait_for(c.path("held.png"), 30), "the holding host never opened the dialog")
        run = c.run("--load", c.kelvarin, "--script",
                    c.script("make_table.scr", "template_save_held.scr"))
        holding = holder.poll() is None
        holder.wait(timeout=60)
        if run.code == 0 or not holding:
            break
    check(holding, "the holding host ended before the save: the machine is too slow")
    check(run.code == 0, str(run))
    check("Can't save the template database!" in run.out, run.out)
    check(open(db, "rb").read() == good, "the held database was changed")


def case_undo_toolbar(c):
    # Every toolbar edit taken back by U gives the drawing saved before it.
    run = c.host("--script", c.script("make_table.scr", "undo_toolbar.scr"))
    body = e2e.drawing_body
    steps = ["k0.dxf", "k1.dxf", "k2.dxf", "k3.dxf", "k4.dxf", "k5.dxf"]
    for i in range(1, len(steps)):
        before, after = steps[i - 1], steps[i]
        check(body(c.path(after)) != body(c.path(before)),
              "%s is the same as %s: the edit changed nothing" % (after, before))
        undone = after.replace(".dxf", "_undone.dxf")
        check(body(checked(c, undone)) == body(c.path(before)),
              "%s differs from %s\n%s" % (undone, before, run))
    check(body(checked(c, "k_all_undone.dxf")) == body(c.path("k0.dxf")), str(run))
    check(body(checked(c, "k_all_redone.dxf")) == body(c.path("k5.dxf")), str(run))
    log = run.out
    for name in ("Undo Merge Cells", "Redo Merge Cells", "Undo Font Color", "Undo Insert Table"):
        check(name in log, "the transcript lacks %r" % name)


def case_apply_style(c):
    import ezdxf
    doc = ezdxf.new("R2004")
    doc.modelspace().add_line((20, 5), (30, 15))
    doc.saveas(c.path("line.dxf"))
    run = c.host("--script", c.script("make_table.scr", "apply_style.scr"), "--save", "out.dxf",
                 "line.dxf")
    check(run.out.count("Table style \"") == 2, run.out)
    doc = audit(checked(c, "out.dxf"))
    styles = {name: style.dxf.handle for name, style in doc.rootdict["ACAD_TABLESTYLE"].items()}
    check(set(styles) == {"Standard", "Doors", "Windows"}, "styles: %r" % sorted(styles))
    found = tables(c.path("out.dxf"))
    check(len(found) == 1, "%d tables" % len(found))
    check(values(found[0], "342") == [styles["Doors"]],
          "the table's style is %r, Doors is %s" % (values(found[0], "342"), styles["Doors"]))
    check(len(doc.modelspace().query("LINE")) == 1, "the line went")
    check_png(c.path("apply_style_dialog.png"))


class MakerSite:
    """The maker's web site on a loopback port: the version list and the
    demo page; every request's path is recorded."""

    def __init__(self):
        import http.server
        import threading
        site = self

        class Handler(http.server.BaseHTTPRequestHandler):
            def do_GET(self):
                site.requests.append(self.path)
                pages = {
                    "/updatelist\\checkforupdate.txt":
                        ("text/plain", b"Kelvarin:2.4.1.0\r\nKELVARIN: 2.10.0.0\r\n"),
                    "/demo/kv/":
                        ("text/html", b"<html><body><h1>The demo of Kelvarin</h1></body></html>"),
                }
                if self.path not in pages:
                    self.send_error(404)
                    return
                kind, body = pages[self.path]
                self.send_response(200)
                self.send_header("Content-Type", kind)
                self.send_header("Content-Length", str(len(body)))
                self.end_headers()
                self.wfile.write(body)

            def log_message(self, *args):
                pass

        self.requests = []
        self.server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
        self.address = "http://127.0.0.1:%d" % self.server.server_address[1]
        threading.Thread(target=self.server.serve_forever, daemon=True).start()

    def close(self):
        self.server.shutdown()
        self.server.server_close()


def case_web_commands(c):
    site = MakerSite()
    try:
        os.makedirs(c.profile, exist_ok=True)
        with open(os.path.join(c.profile, "machine.reg"), "w") as f:
            f.write('REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Vorel\\Vorel2005]\n'
                    '"WebSite"="%s"\n"SupportMail"="help@maker.test"\n' % site.address)
        demo = site.address + "/demo/kv/"
        with open(c.path("web.scr"), "w") as f:
            f.write("VOREL_KELVARIN_HELP\nVOREL_KELVARIN_WEBSITE\nVOREL_KELVARIN_TRYMEROVIN\n"
                    "VOREL_KELVARIN_NEW\nVOREL_KELVARIN_FAQ\nVOREL_KELVARIN_SUPPORT\n"
                    "VOREL_KELVARIN_DEMO\n@dialog %s\n@shows The demo of Kelvarin\n@click 2\n"
                    "VOREL_KELVARIN_UPDATE\n@dialog LiveUpdate\n@screenshot update.png\n"
                    "@click 1\n" % demo)
        run = c.host("--script", "web.scr")
    finally:
        site.close()
    manual = os.path.join(os.path.dirname(os.path.abspath(c.kelvarin)), "Kelvarin Manual.htm")
    check(os.path.isfile(manual), "no manual beside the module: %s" % manual)
    import urllib.parse
    pictures = re.findall(r'src="([^"]+)"', open(manual, encoding="utf-8").read())
    check(len(pictures) >= 16, "the manual shows %d pictures" % len(pictures))
    for src in pictures:
        picture = os.path.join(os.path.dirname(manual), urllib.parse.unquote(src))
        check(os.path.isfile(picture), "the manual's picture is missing: %s" % picture)
    opened = re.findall(r"\[Shell open\] (.*)", run.out)
    expected = [manual, site.address + "/", site.address + "/",
                site.address + "/redirect.php?page=whatsnew&product=kv",
                site.address + "/redirect.php?page=faq&product=kv"]
    check(opened[:5] == expected, "shell opens: %r\n%s" % (opened, run.out))
    check(len(opened) == 6 and opened[5].startswith("mailto:help@maker.test?body= Please provide"),
          "support mail: %r" % opened[5:])
    # The demo window showed the page it asked for before it was closed.
    check("/demo/kv/" in site.requests, "requests: %r" % site.requests)
    check_png(c.path("update.png"))


CASES = {name[5:]: f for name, f in globals().items() if name.startswith("case_")}


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--cadhost", required=True)
    parser.add_argument("--kelvarin", required=True)
    parser.add_argument("--work", required=True)
    parser.add_argument("case", choices=sorted(CASES))
    args = parser.parse_args()
    try:
        CASES[args.case](Case(args))
    except Failure as failure:
        print("FAILED: %s" % failure)
        return 1
    print("passed")
    return 0


if __name__ == "__main__":
    sys.exit(main())
