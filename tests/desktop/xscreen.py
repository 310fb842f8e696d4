"""The X screen as the user sees it: grabbed with xwd (read here, no image
library needed), saved as PNG, searched for pictures and drawn lines."""
import re
import struct
import subprocess
import zlib

import numpy as np


def grab(display):
    """The whole screen as an array of rows x columns x RGB."""
    raw = subprocess.run(["xwd", "-root", "-silent", "-display", display],
                         check=True, capture_output=True, timeout=30).stdout
    return _decode(raw)


def save_png(image, path):
    height, width = image.shape[:2]
    rows = b"".join(b"\x00" + image[y].tobytes() for y in range(height))

    def chunk(kind, body):
        return (struct.pack(">I", len(body)) + kind + body +
                struct.pack(">I", zlib.crc32(kind + body) & 0xffffffff))
    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n")
        f.write(chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)))
        f.write(chunk(b"IDAT", zlib.compress(rows, 6)))
        f.write(chunk(b"IEND", b""))


def read_bmp(path):
    """A 24-bit BMP as rows x columns x RGB, top row first."""
    with open(path, "rb") as f:
        data = f.read()
    offset = struct.unpack("<I", data[10:14])[0]
    width, height = struct.unpack("<ii", data[18:26])
    bits = struct.unpack("<H", data[28:30])[0]
    if bits != 24:
        raise RuntimeError("%s: %d bits per pixel" % (path, bits))
    stride = (width * 3 + 3) & ~3
    rows = []
    for y in range(abs(height)):
        row = np.frombuffer(data, dtype=np.uint8, count=width * 3, offset=offset + y * stride)
        rows.append(row.reshape(width, 3)[:, [2, 1, 0]])
    image = np.stack(rows)
    return image[::-1] if height > 0 else image


def find_picture(screen, picture, transparent=(255, 0, 255)):
    """Top-left corners where every opaque pixel of picture is on the screen."""
    opaque = np.any(picture != np.array(transparent, dtype=np.uint8), axis=2)
    points = list(zip(*np.nonzero(opaque)))
    if not points:
        return []
    ph, pw = picture.shape[:2]
    sh, sw = screen.shape[:2]
    # Candidates from the first opaque pixel, narrowed by every other one.
    y0, x0 = points[0]
    hits = np.all(screen[y0:sh - ph + 1 + y0, x0:sw - pw + 1 + x0] == picture[y0, x0], axis=2)
    for y, x in points[1:]:
        if not hits.any():
            break
        hits &= np.all(screen[y:sh - ph + 1 + y, x:sw - pw + 1 + x] == picture[y, x], axis=2)
    return [(int(x), int(y)) for y, x in zip(*np.nonzero(hits))]


def grid_lines(before, after, region, min_run):
    """Lines drawn between two screenshots inside region (x0, y0, x1, y1):
    the y of each horizontal and the x of each vertical run of at least
    min_run changed pixels, neighbours joined into their middle."""
    x0, y0, x1, y1 = region
    changed = np.any(before[y0:y1, x0:x1] != after[y0:y1, x0:x1], axis=2)

    def runs(mask_lines, offset):
        found = []
        for i, line in enumerate(mask_lines):
            best = run = 0
            for v in line:
                run = run + 1 if v else 0
                best = max(best, run)
            if best >= min_run:
                found.append(i + offset)
        joined, group = [], []
        for v in found:
            if group and v - group[-1] > 1:
                joined.append(sum(group) / len(group))
                group = []
            group.append(v)
        if group:
            joined.append(sum(group) / len(group))
        return joined
    return runs(changed, y0), runs(changed.T, x0)


def _window_image(display, wid):
    raw = subprocess.run(["xwd", "-id", str(wid), "-silent", "-display", display],
                         check=True, capture_output=True, timeout=30).stdout
    return _decode(raw)


def _decode(raw):
    fields = struct.unpack(">25I", raw[:100])
    header_size, width, height = fields[0], fields[4], fields[5]
    byte_order, bits_per_pixel, bytes_per_line = fields[7], fields[11], fields[12]
    ncolors = fields[19]
    if bits_per_pixel not in (24, 32):
        raise RuntimeError("xwd: %d bits per pixel (expected 24 or 32)" % bits_per_pixel)
    size = bits_per_pixel // 8
    start = header_size + 12 * ncolors
    data = np.frombuffer(raw, dtype=np.uint8, count=height * bytes_per_line, offset=start)
    pixels = data.reshape(height, bytes_per_line)[:, :width * size].reshape(height, width, size)
    shifts = [m.bit_length() - 8 for m in (fields[14], fields[15], fields[16])]
    order = [s // 8 if byte_order == 0 else size - 1 - s // 8 for s in shifts]
    return np.ascontiguousarray(pixels[:, :, order])


def window_geometry(display, wid):
    """(x, y, width, height, viewable) of a window, x and y on the screen."""
    out = subprocess.run(["xwininfo", "-id", str(wid), "-display", display],
                         capture_output=True, text=True, timeout=10).stdout
    values = {}
    for line in out.splitlines():
        key, _, value = line.strip().partition(":")
        values[key] = value.strip()
    try:
        return (int(values["Absolute upper-left X"]), int(values["Absolute upper-left Y"]),
                int(values["Width"]), int(values["Height"]),
                values.get("Map State") == "IsViewable")
    except (KeyError, ValueError):
        return None


def managed_windows(display):
    """The window manager's client windows, bottom of the stack first."""
    out = subprocess.run(["xprop", "-root", "-display", display, "_NET_CLIENT_LIST_STACKING"],
                         capture_output=True, text=True, timeout=10).stdout
    if "#" not in out:
        return []
    return [int(w.strip(), 16) for w in out.split("#", 1)[1].split(",") if w.strip()]


def unmanaged_windows(display):
    """Top-level windows of programs that the window manager leaves alone
    (popups, menus, tooltips), bottom of the stack first. They sit on the root
    itself, with their program's class; the manager's own frames have none."""
    out = subprocess.run(["xwininfo", "-root", "-children", "-display", display],
                         capture_output=True, text=True, timeout=10).stdout
    found = []
    for line in out.splitlines():
        fields = line.split()
        if not fields or not fields[0].startswith("0x") or '("' not in line:
            continue
        if re.search(r"\s1x1[+-]", line):
            continue  # never shown: helper windows of the programs
        found.append(int(fields[0], 16))
    return found[::-1]  # listed top first


def screenshot(display):
    """What the user sees: the screen, with every shown client window drawn
    over it from its own contents (a grab of the root alone leaves the
    windows of some programs black on a virtual frame buffer), the popups
    above them."""
    screen = grab(display).copy()
    sh, sw = screen.shape[:2]
    for wid in managed_windows(display) + unmanaged_windows(display):
        geometry = window_geometry(display, wid)
        if not geometry or not geometry[4]:
            continue
        x, y, w, h, _ = geometry
        try:
            image = _window_image(display, wid)
        except subprocess.CalledProcessError:
            continue  # gone meanwhile
        x0, y0 = max(x, 0), max(y, 0)
        x1, y1 = min(x + image.shape[1], sw), min(y + image.shape[0], sh)
        if x1 > x0 and y1 > y0:
            screen[y0:y1, x0:x1] = image[y0 - y:y1 - y, x0 - x:x1 - x]
    return screen
