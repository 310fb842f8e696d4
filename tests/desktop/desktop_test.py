#!/usr/bin/python3
"""Desktop test: cadhost on an X virtual frame buffer with a window manager,
driven only by real input events (xdotool), watched through screenshots of
the whole screen and through the drawings it saves.

Type a command that draws a table, click a cell and Shift+click another,
press the add-in's "Merge Cells" button, press Ctrl+Z; drag over cells and
choose an alignment from the add-in's drop-down; before all that, drag the
add-in's floating bar into the frame's top dock, out to float, and back.

usage: desktop_test.py --cadhost BIN --testmod ARX --kelvarin ARX
                       --pictures BMP --work DIR
"""
import argparse
import os
import shutil
import subprocess
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "e2e"))
import xscreen  # noqa: E402
from kelvarin_e2e import cells  # noqa: E402
from run_e2e import Failure, audit, check, drawing_body, tables, values  # noqa: E402

TOOLS = {"Xvfb": "xvfb", "openbox": "openbox", "xdotool": "xdotool", "xwd": "x11-apps",
         "xwininfo": "x11-utils", "xprop": "x11-utils"}
MERGE_PICTURE = 6  # "Merge Cells": the seventh 16 x 15 picture of the toolbar's strip
ALIGN_PICTURE = 8  # "Alignment", showing Top Left until a choice is made
MIDDLE_CENTER = "{9BBC8441-4637-4653-97A3-A2A61A568F6B}.bmp"  # its popup's fifth item
TIMEOUT = 30


def wait_for(what, probe, timeout=TIMEOUT, every=0.2):
    """probe() until it answers something true; Failure after timeout."""
    end = time.monotonic() + timeout
    while True:
        result = probe()
        if result:
            return result
        if time.monotonic() > end:
            raise Failure("timed out waiting for %s" % what)
        time.sleep(every)


def arrow_beside(screen, x, y):
    """The middle of the drop-down arrow right of the 16 x 15 button picture
    at x, y: the first run of columns with dark pixels beside it."""
    dark = [bool((screen[y:y + 15, c].astype(int).sum(axis=1) < 300).any())
            for c in range(x + 16, x + 48)]
    if True not in dark:
        raise Failure("no drop-down arrow beside the button at %d,%d" % (x, y))
    first = dark.index(True)
    width = dark[first:].index(False) if False in dark[first:] else len(dark) - first
    left = x + 16 + first
    rows = [r for r in range(y, y + 15)
            if (screen[r, left:left + width].astype(int).sum(axis=1) < 300).any()]
    return left + width // 2, (rows[0] + rows[-1]) // 2


class Desktop:
    """Xvfb, a window manager and the host, each ended on exit."""

    def __init__(self, work):
        self.work = work
        self.processes = []
        self.display = None
        self.shots = 0

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        for p in reversed(self.processes):
            if p.poll() is None:
                p.terminate()
                try:
                    p.wait(timeout=10)
                except subprocess.TimeoutExpired:
                    p.kill()
                    p.wait()

    def start_x(self):
        read, write = os.pipe()
        xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(write), "-screen", "0",
                                 "1280x1024x24", "-nolisten", "tcp"],
                                pass_fds=(write,), stdout=subprocess.DEVNULL,
                                stderr=open(os.path.join(self.work, "xvfb.log"), "w"))
        self.processes.append(xvfb)
        os.close(write)
        number = b""
        end = time.monotonic() + TIMEOUT
        while not number.endswith(b"\n"):
            if time.monotonic() > end or xvfb.poll() is not None:
                raise Failure("Xvfb did not start (see xvfb.log)")
            chunk = os.read(read, 16)
            if not chunk:
                break
            number += chunk
        os.close(read)
        self.display = ":" + number.decode().strip()
        wm = subprocess.Popen(["openbox"], env=self.env(), stdout=subprocess.DEVNULL,
                              stderr=open(os.path.join(self.work, "openbox.log"), "w"))
        self.processes.append(wm)
        wait_for("the window manager", lambda: "window id" in self.x(
            "xprop", "-root", "_NET_SUPPORTING_WM_CHECK"))

    def env(self, **extra):
        env = dict(os.environ, DISPLAY=self.display, **extra)
        env.pop("QT_QPA_PLATFORM", None)
        return env

    def x(self, *cmd):
        return subprocess.run(cmd, env=self.env(), capture_output=True, text=True,
                              timeout=TIMEOUT).stdout

    def start(self, *cmd):
        p = subprocess.Popen(cmd, cwd=self.work, env=self.env(QT_QPA_PLATFORM="xcb"),
                             stdout=open(os.path.join(self.work, "host.out"), "w"),
                             stderr=subprocess.STDOUT)
        self.processes.append(p)
        return p

    def windows(self, name):
        """Visible windows whose title matches name (a regular expression)."""
        out = self.x("xdotool", "search", "--onlyvisible", "--name", name)
        return [int(w) for w in out.split()]

    def geometry(self, wid):
        return xscreen.window_geometry(self.display, wid)

    def screenshot(self, label):
        shot = xscreen.screenshot(self.display)
        self.shots += 1
        xscreen.save_png(shot, os.path.join(self.work, "desktop_%02d_%s.png" % (self.shots, label)))
        return shot

    def xdo(self, *args):
        subprocess.run(["xdotool"] + [str(a) for a in args], env=self.env(), check=True,
                       timeout=TIMEOUT)

    def click(self, x, y, modifier=None):
        if modifier:
            self.xdo("mousemove", x, y, "sleep", 0.1, "keydown", modifier, "click", 1,
                     "keyup", modifier)
        else:
            self.xdo("mousemove", x, y, "sleep", 0.1, "click", 1)

    def drag(self, start, end, steps=8):
        self.xdo("mousemove", *start, "sleep", 0.2, "mousedown", 1, "sleep", 0.2)
        for i in range(1, steps + 1):
            x = start[0] + (end[0] - start[0]) * i // steps
            y = start[1] + (end[1] - start[1]) * i // steps
            self.xdo("mousemove", x, y, "sleep", 0.05)
        self.xdo("sleep", 0.3, "mouseup", 1)

    def type_lines(self, *lines):
        for line in lines:
            self.xdo("type", "--delay", 30, "--", line)
            self.xdo("key", "Return")


class Host:
    def __init__(self, desk, transcript):
        self.desk = desk
        self.transcript = transcript

    def log(self):
        try:
            with open(self.transcript, encoding="utf-8", errors="replace") as f:
                return f.read()
        except FileNotFoundError:
            return ""

    def wait_log(self, text, after=0):
        return wait_for("%r on the command line" % text, lambda: text in self.log()[after:])

    def save(self, path):
        """SAVEAS through its file dialog, as a user at the desktop does."""
        mark = len(self.log())
        self.desk.type_lines("SAVEAS")
        dialog = wait_for("the \"Save Drawing As\" dialog",
                          lambda: self.desk.windows("^Save Drawing As$"))[0]
        self.desk.xdo("windowactivate", "--sync", dialog)
        wait_for("the dialog to take the keyboard",
                 lambda: self.desk.x("xdotool", "getwindowfocus").strip() == str(dialog))
        # The name box has the focus: replace what it shows with the path.
        self.desk.xdo("key", "ctrl+a")
        self.desk.xdo("type", "--delay", 30, "--", path)
        self.desk.xdo("sleep", 0.3, "key", "Return")
        self.wait_log("Saved %s." % path, mark)
        wait_for("the dialog to close", lambda: not self.desk.windows("^Save Drawing As$"))
        return path


def main():
    parser = argparse.ArgumentParser()
    for name in ("cadhost", "testmod", "kelvarin", "pictures", "work"):
        parser.add_argument("--" + name, required=True)
    args = parser.parse_args()
    for name in ("cadhost", "testmod", "kelvarin", "pictures", "work"):
        setattr(args, name, os.path.abspath(getattr(args, name)))
    missing = sorted({pkg for tool, pkg in TOOLS.items() if not shutil.which(tool)})
    if missing:
        print("FAILED: the desktop tests need %s (scripts/bootstrap.sh installs them)"
              % ", ".join(missing))
        return 1
    work = os.path.join(args.work, "desktop")
    shutil.rmtree(work, ignore_errors=True)
    os.makedirs(work)
    try:
        with Desktop(work) as desk:
            run(desk, args, work)
    except Failure as failure:
        print("FAILED: %s\n(screenshots and logs in %s)" % (failure, work))
        return 1
    print("passed")
    return 0


def run(desk, args, work):
    desk.start_x()
    transcript = os.path.join(work, "transcript.txt")
    desk.start(args.cadhost, "--profile", os.path.join(work, "profile"), "--load", args.testmod,
               "--load", args.kelvarin, "--transcript", transcript)
    host = Host(desk, transcript)
    frame = wait_for("the frame window", lambda: desk.windows("^cadhost - "))[0]
    fx, fy, fw, fh, _ = wait_for("the frame's place", lambda: desk.geometry(frame))
    # Loaded on its own, without the suite loader, the add-in finds no suite
    # menu group and says so in a message box, once for its submenu and once
    # for its toolbar.
    for _ in range(2):
        box = wait_for("the add-in's menu-group message", lambda: desk.windows("^cadhost$"))[0]
        desk.xdo("windowactivate", "--sync", box, "key", "Return")
        wait_for("the message box closed", lambda: box not in desk.windows("^cadhost$"))
    wait_for("the add-in's floating bar", lambda: desk.windows("^Vorel Kelvarin$"))
    strip = xscreen.read_bmp(args.pictures)
    merge_picture = strip[:, 16 * MERGE_PICTURE:16 * (MERGE_PICTURE + 1)]

    def one_place(picture):
        found = xscreen.find_picture(xscreen.screenshot(desk.display), picture)
        return found[0] if len(found) == 1 else None

    def merge_button():
        return one_place(merge_picture)

    # The add-in's bar: floating at first; dragged by its title into the top
    # dock, out again by its gripper, and back.
    bar = desk.windows("^Vorel Kelvarin$")[0]
    x, y, w, h, _ = desk.geometry(bar)
    desk.screenshot("start")
    desk.drag((x + w // 3, y + 8), (fx + 300, fy + 85))
    wait_for("the bar docked (its window gone)", lambda: not desk.windows("^Vorel Kelvarin$"))
    bx, by = wait_for("the Merge Cells button in the dock", merge_button)
    check(fy < by < fy + 150, "the docked bar is not at the top: button at %d,%d" % (bx, by))
    desk.screenshot("docked")
    # Docked at the top the bar's title runs up its left end.
    desk.drag((fx + 9, by + 22), (fx + 500, fy + 400))
    bar = wait_for("the bar floating again", lambda: desk.windows("^Vorel Kelvarin$"))[0]
    x, y, w, h, _ = desk.geometry(bar)
    check(abs(x - (fx + 500)) < 200 and abs(y - (fy + 400)) < 200,
          "the bar floats at %d,%d, not where it was dropped" % (x, y))
    desk.screenshot("floating")
    desk.drag((x + w // 3, y + 8), (fx + 300, fy + 85))
    wait_for("the bar docked again", lambda: not desk.windows("^Vorel Kelvarin$"))
    wait_for("the Merge Cells button in the dock again", merge_button)
    desk.screenshot("docked_again")

    # Keys go to the focused frame: a click in the command line's input first.
    desk.click(fx + fw // 2, fy + fh - 40)
    before = desk.screenshot("empty")
    desk.type_lines("-TABLE", "3", "4", "2.5", "1", "0,0")
    host.wait_log("Specify insertion point: 0,0")

    # The table's grid lines: long runs of pixels the table changed.
    view = (fx, fy + 80, fx + fw, fy + fh - 200)

    def grid():
        rows, cols = xscreen.grid_lines(before, xscreen.screenshot(desk.display), view, 100)
        return (rows, cols) if len(rows) == 5 and len(cols) == 4 else None
    rows, cols = wait_for("the table's 5 x 4 grid lines on the screen", grid)
    shot = desk.screenshot("table")
    center = lambda r, c: (int((cols[c] + cols[c + 1]) / 2), int((rows[r] + rows[r + 1]) / 2))
    plain = host.save(os.path.join(work, "plain.dxf"))

    def lit_exactly(on, off):
        """A probe: the cells on look other than in the plain table, the cells off do not."""
        def probe():
            now = xscreen.screenshot(desk.display)
            lit = [bool((now[y - 3:y + 3, x - 3:x + 3] != shot[y - 3:y + 3, x - 3:x + 3]).any())
                   for x, y in (center(*cell) for cell in on + off)]
            return lit == [True] * len(on) + [False] * len(off)
        return probe

    # Click cell (0,0), Shift+click cell (1,1): the four cells light up.
    desk.click(*center(0, 0))
    desk.click(*center(1, 1), modifier="shift")
    wait_for("cells (0,0)-(1,1) shown selected, (2,2) not",
             lit_exactly([(0, 0), (1, 1), (0, 1)], [(2, 2)]))
    desk.screenshot("selected")

    # The add-in's "Merge Cells" button, found by its picture.
    bx, by = wait_for("the Merge Cells button on the screen", merge_button)
    mark = len(host.log())
    desk.click(bx + 8, by + 7)
    merged = host.save(os.path.join(work, "merged.dxf"))
    desk.screenshot("merged")
    spans = [(values(t, "175"), values(t, "176")) for t in tables(merged)]
    check(spans and spans[0][0][:1] == ["2"] and spans[0][1][:1] == ["2"],
          "the merge did not reach the drawing: %r\n%s" % (spans, host.log()[mark:]))

    # Ctrl+Z takes the merge back, named after the button.
    mark = len(host.log())
    desk.xdo("key", "ctrl+z")
    host.wait_log("Undo Merge Cells", mark)
    undone = host.save(os.path.join(work, "undone.dxf"))
    desk.screenshot("undone")
    check(drawing_body(undone) == drawing_body(plain), "Ctrl+Z did not give the drawing back")
    audit(undone)

    # A drag from cell (1,0) to cell (3,1) selects the six cells between; the
    # cells selected before go out.
    desk.drag(center(1, 0), center(3, 1))
    wait_for("cells (1,0)-(3,1) shown selected, (0,0) and (1,2) not",
             lit_exactly([(1, 0), (3, 1), (2, 0), (1, 1)], [(0, 0), (1, 2)]))
    desk.screenshot("dragged")

    # The Alignment button's drop-down arrow, clicked; "Middle Center" in the
    # popup, clicked: the dragged cells take it.
    align_picture = strip[:, 16 * ALIGN_PICTURE:16 * (ALIGN_PICTURE + 1)]
    ax, ay = wait_for("the Alignment button on the screen", lambda: one_place(align_picture))
    desk.click(*arrow_beside(xscreen.screenshot(desk.display), ax, ay))
    middle = xscreen.read_bmp(os.path.join(os.path.dirname(args.pictures), MIDDLE_CENTER))
    mx, my = wait_for("the alignment popup's \"Middle Center\"", lambda: one_place(middle))
    desk.screenshot("alignment_popup")
    desk.click(mx + middle.shape[1] // 2, my + middle.shape[0] // 2)
    aligned = host.save(os.path.join(work, "aligned.dxf"))
    desk.screenshot("aligned")
    audit(aligned)
    centred = [[c.get("170") == ["5"] for c in row] for row in cells(aligned)]
    want = [[1 <= r <= 3 and col <= 1 for col in range(3)] for r in range(4)]
    check(centred == want, "cells set Middle Center: %s, expected %s" % (centred, want))


if __name__ == "__main__":
    sys.exit(main())
