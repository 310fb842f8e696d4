#!/usr/bin/python3
"""Checks a drawing the host saved with two independent readers.

    check_drawing.py DRAWING...

For each drawing:
  * ezdxf's audit finds no errors and applies no fixes;
  * ezdxf writes it again as binary DXF, where every value must fit the size
    its group code has (16-bit codes such as 177, bytes such as 283), and
    reads that binary file back with the same entities;
  * GDAL's DXF driver (ogr2ogr, with block inlining and block geometry
    merging off) reads it, and its entities of every *T block (the graphics
    of a table: lines, texts with their strings, fills, block references with
    their names) match, entity by entity, what ezdxf finds there.

Any test may call it on a drawing it saved: run it as a program (exit 0 when
all holds, 1 with the failures, 77 when ezdxf or GDAL is missing) or import
it and call check_drawing(path), which returns the failures as strings.
"""

import json
import math
import os
import re
import shutil
import subprocess
import sys
import tempfile

PYTHON = "/usr/bin/python3"
TOLERANCE = 1e-6

# GDAL's DXF driver options: every block's entities stay in the blocks layer
# one by one, named by their block, instead of being drawn into references.
GDAL_ENV = {"DXF_INLINE_BLOCKS": "FALSE", "DXF_MERGE_BLOCK_GEOMETRIES": "FALSE"}


def missing_tools():
    """What of ezdxf and GDAL is not installed, as a message; empty when all is."""
    missing = []
    try:
        import ezdxf  # noqa: F401
    except ImportError:
        missing.append("ezdxf (python3-ezdxf)")
    if not shutil.which("ogr2ogr"):
        missing.append("ogr2ogr (gdal-bin)")
    return ", ".join(missing)


# ---------------------------------------------------------------- ezdxf

def check_audit(doc):
    auditor = doc.audit()
    failures = [f"ezdxf audit: {e.message}" for e in auditor.errors]
    failures += [f"ezdxf audit had to fix: {f.message}" for f in auditor.fixes]
    return failures


def check_binary(doc, path, workdir):
    import ezdxf
    binary = os.path.join(workdir, os.path.basename(path) + ".bin.dxf")
    try:
        doc.saveas(binary, fmt="bin")
    except (OverflowError, ValueError, TypeError) as e:
        return [f"ezdxf cannot write it as binary DXF (a value out of its code's range?): {e}"]
    try:
        back = ezdxf.readfile(binary)
    except Exception as e:  # noqa: BLE001  (any failure to read is the finding)
        return [f"ezdxf cannot read its binary DXF back: {e}"]
    # ezdxf makes the end markers of attribute lists anew (SEQEND): not ours.
    def objects(d):
        return {(e.dxf.handle, e.dxftype()) for e in d.entitydb.values()
                if e.dxf.hasattr("handle") and e.dxftype() != "SEQEND"}
    lost, gained = objects(doc) - objects(back), objects(back) - objects(doc)
    if lost or gained:
        return [f"the binary DXF lacks {sorted(lost)[:5]} and adds {sorted(gained)[:5]}"]
    return []


# ---------------------------------------------------------------- *T blocks

def decoded(text):
    """Text with the file's \\U+XXXX escapes as characters (ezdxf keeps them
    in MTEXT, GDAL decodes them)."""
    return re.sub(r"\\[Uu]\+([0-9A-Fa-f]{4})", lambda m: chr(int(m.group(1), 16)), text)


def rounded(values):
    return tuple(round(v, 6) + 0.0 for v in values)


def close(a, b):
    return len(a) == len(b) and all(math.isclose(x, y, abs_tol=TOLERANCE) for x, y in zip(a, b))


def ezdxf_graphics(doc):
    """Per *T block: handle -> (kind, data) as ezdxf reads the block."""
    blocks = {}
    for block in doc.blocks:
        if not block.name.upper().startswith("*T"):
            continue
        entities = {}
        for e in block:
            kind = e.dxftype()
            if kind == "LINE":
                data = (tuple(e.dxf.start)[:2], tuple(e.dxf.end)[:2])
            elif kind == "MTEXT":
                data = (decoded(e.plain_text()), tuple(e.dxf.insert)[:2])
            elif kind == "TEXT":
                data = (decoded(e.dxf.text), tuple(e.dxf.insert)[:2], tuple(e.dxf.get("align_point", e.dxf.insert))[:2])
            elif kind == "SOLID":
                data = sorted(rounded(tuple(e.dxf.get(v))[:2]) for v in ("vtx0", "vtx1", "vtx2", "vtx3"))
            elif kind == "INSERT":
                data = (e.dxf.name, tuple(e.dxf.insert)[:2])
            else:
                data = None
            entities[e.dxf.handle.upper()] = (kind, data)
        blocks[block.name] = entities
    return blocks


def gdal_graphics(path, workdir):
    """Per block: handle -> GeoJSON feature, as GDAL's DXF driver reads it."""
    out = os.path.join(workdir, os.path.basename(path) + ".blocks.json")
    if os.path.exists(out):
        os.remove(out)
    env = dict(os.environ, **GDAL_ENV)
    result = subprocess.run(["ogr2ogr", "-f", "GeoJSON", out, path, "blocks"],
                            capture_output=True, text=True, timeout=300, env=env)
    if result.returncode != 0 or not os.path.exists(out):
        raise RuntimeError("ogr2ogr could not read the drawing:\n" + result.stdout + result.stderr)
    with open(out, encoding="utf-8") as f:
        collection = json.load(f)
    blocks = {}
    for feature in collection.get("features", []):
        props = feature.get("properties") or {}
        name = props.get("Block") or ""
        handle = (props.get("EntityHandle") or "").upper()
        blocks.setdefault(name, {})[handle] = feature
    return blocks


def gdal_points(geometry):
    """The vertices of a GeoJSON geometry, as (x, y)."""
    if not geometry:
        return []
    kind, coords = geometry["type"], geometry["coordinates"]
    if kind == "Point":
        return [tuple(coords[:2])]
    if kind == "LineString":
        return [tuple(c[:2]) for c in coords]
    if kind == "Polygon":
        ring = [tuple(c[:2]) for c in coords[0]]
        return ring[:-1] if len(ring) > 1 and ring[0] == ring[-1] else ring
    return []


def compare_entity(block, handle, kind, data, feature):
    """Differences between ezdxf's entity and GDAL's feature, as messages."""
    where = f"*T block {block}, entity {handle} ({kind})"
    props = feature.get("properties") or {}
    subclasses = props.get("SubClasses") or ""
    points = gdal_points(feature.get("geometry"))
    if kind == "LINE":
        if "AcDbLine" not in subclasses:
            return [f"{where}: GDAL reads a {subclasses}"]
        if len(points) != 2 or not (close(points[0], data[0]) and close(points[1], data[1])):
            return [f"{where}: GDAL has {points}, ezdxf {list(data)}"]
    elif kind in ("MTEXT", "TEXT"):
        text = props.get("Text")
        if text is None or decoded(text).strip() != data[0].strip():
            return [f"{where}: GDAL reads the text {text!r}, ezdxf {data[0]!r}"]
        if len(points) != 1 or not any(close(points[0], p) for p in data[1:]):
            return [f"{where}: GDAL places it at {points}, ezdxf at {list(data[1:])}"]
    elif kind == "SOLID":
        if "AcDbTrace" not in subclasses and "AcDbSolid" not in subclasses:
            return [f"{where}: GDAL reads a {subclasses}"]
        got = sorted(rounded(p) for p in points)
        if len(got) != len(data) or not all(close(a, b) for a, b in zip(got, data)):
            return [f"{where}: GDAL has the corners {got}, ezdxf {data}"]
    elif kind == "INSERT":
        name = props.get("BlockName")
        if name != data[0]:
            return [f"{where}: GDAL reads a reference to {name!r}, ezdxf to {data[0]!r}"]
        if len(points) != 1 or not close(points[0], data[1]):
            return [f"{where}: GDAL places it at {points}, ezdxf at {data[1]}"]
    else:
        return [f"{where}: a table's graphics hold no {kind}"]
    return []


def check_table_blocks(doc, path, workdir):
    failures = []
    ours = ezdxf_graphics(doc)
    try:
        theirs = gdal_graphics(path, workdir)
    except RuntimeError as e:
        return [str(e)]
    for block, entities in sorted(ours.items()):
        features = theirs.get(block, {})
        missing = sorted(set(entities) - set(features))
        extra = sorted(set(features) - set(entities))
        if missing:
            failures.append(f"*T block {block}: GDAL lacks entities {missing}")
        if extra:
            failures.append(f"*T block {block}: GDAL has entities ezdxf does not: {extra}")
        for handle, (kind, data) in sorted(entities.items()):
            if handle in features:
                failures += compare_entity(block, handle, kind, data, features[handle])
    return failures


# ---------------------------------------------------------------- driver

def check_drawing(path, workdir=None):
    """Every failure found in the drawing at path, as messages; [] when it passes."""
    import ezdxf
    own = workdir is None
    workdir = workdir or tempfile.mkdtemp(prefix="check_drawing_")
    try:
        try:
            doc = ezdxf.readfile(path)
        except Exception as e:  # noqa: BLE001
            return [f"ezdxf cannot read it: {e}"]
        failures = check_audit(doc)
        failures += check_table_blocks(doc, path, workdir)
        # Last: writing binary may touch the document.
        failures += check_binary(doc, path, workdir)
        return failures
    finally:
        if own:
            shutil.rmtree(workdir, ignore_errors=True)


def main(argv):
    if len(argv) < 2 or argv[1] in ("-h", "--help"):
        print(__doc__)
        return 2
    missing = missing_tools()
    if missing:
        print(f"skipped: {missing} not installed (run scripts/bootstrap.sh)")
        return 77
    status = 0
    for path in argv[1:]:
        failures = check_drawing(path)
        if failures:
            status = 1
            print(f"{path}: FAILED")
            for f in failures:
                print("  " + f)
        else:
            print(f"{path}: ezdxf audit clean, binary DXF written, GDAL agrees on the *T blocks")
    return status


if __name__ == "__main__":
    sys.exit(main(sys.argv))
