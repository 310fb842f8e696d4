#!/usr/bin/python3
"""End-to-end cases: run `cadhost --headless` on a script and check the exit
status, the transcript, the saved drawing (read back, audited by ezdxf, and
checked by tests/interop/check_drawing.py: binary DXF and GDAL's reading)
and the screenshot.

usage: run_e2e.py --cadhost BIN --testmod ARX --work DIR CASE
"""
import argparse
import os
import shutil
import struct
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
SCRIPTS = os.path.join(HERE, "scripts")


class Failure(Exception):
    pass


def check(condition, message):
    if not condition:
        raise Failure(message)


class Run:
    def __init__(self, code, out, err):
        self.code, self.out, self.err = code, out, err

    def __str__(self):
        return "exit %d\n--- stdout\n%s\n--- stderr\n%s" % (self.code, self.out, self.err)


class Case:
    def __init__(self, args):
        self.cadhost = args.cadhost
        self.testmod = args.testmod
        self.work = os.path.join(args.work, args.case)
        shutil.rmtree(self.work, ignore_errors=True)
        os.makedirs(self.work)
        self.profile = os.path.join(self.work, "profile")

    def path(self, name):
        return os.path.join(self.work, name)

    def script(self, name):
        shutil.copy(os.path.join(SCRIPTS, name), self.work)
        return name

    def run(self, *args, timeout=90):
        cmd = [self.cadhost, "--headless", "--profile", self.profile] + list(args)
        env = dict(os.environ, QT_QPA_PLATFORM="offscreen")
        try:
            p = subprocess.run(cmd, cwd=self.work, env=env, capture_output=True, text=True,
                               timeout=timeout)
        except subprocess.TimeoutExpired:
            raise Failure("cadhost hung: %s" % " ".join(cmd))
        run = Run(p.returncode, p.stdout, p.stderr)
        check(p.returncode >= 0, "cadhost crashed (signal %d)\n%s" % (-p.returncode, run))
        for report in ("ERROR: AddressSanitizer", "ERROR: LeakSanitizer", "runtime error:"):
            check(report not in p.stderr, "sanitizer report from cadhost\n%s" % run)
        return run


# ---- drawing checks

def dxf_pairs(path):
    with open(path, encoding="utf-8", errors="replace") as f:
        lines = f.read().splitlines()
    return [(lines[i].strip(), lines[i + 1]) for i in range(0, len(lines) - 1, 2)]


def tables(path):
    """Each ACAD_TABLE entity as a list of (code, value) pairs."""
    pairs = dxf_pairs(path)
    found, current = [], None
    for code, value in pairs:
        if code == "0":
            if current is not None:
                found.append(current)
                current = None
            if value == "ACAD_TABLE":
                current = []
        elif current is not None:
            current.append((code, value))
    return found


def values(entity, code):
    return [v for c, v in entity if c == code]


def audit(path):
    import ezdxf
    doc = ezdxf.readfile(path)
    auditor = doc.audit()
    check(not auditor.has_errors, "ezdxf audit found errors in %s: %s" %
          (path, [str(e.message) for e in auditor.errors]))
    p = subprocess.run(["/usr/bin/python3", "-m", "ezdxf", "audit", path],
                       capture_output=True, text=True, timeout=120)
    check(p.returncode == 0 and "No errors found" in p.stdout,
          "ezdxf audit (command line) on %s:\n%s%s" % (path, p.stdout, p.stderr))
    # The second reader (GDAL) and binary DXF, when GDAL is installed.
    sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "interop"))
    import check_drawing
    if not check_drawing.missing_tools():
        failures = check_drawing.check_drawing(path)
        check(not failures, "check_drawing on %s:\n  %s" % (path, "\n  ".join(failures)))
    return doc


def check_table(path, rows, cols, col_width, row_height, corner):
    entities = tables(path)
    check(len(entities) == 1, "expected one ACAD_TABLE in %s, found %d" % (path, len(entities)))
    t = entities[0]
    check(values(t, "91")[-1:] == [str(rows)], "rows %s, expected %d" % (values(t, "91"), rows))
    check(values(t, "92")[-1:] == [str(cols)], "columns %s, expected %d" % (values(t, "92"), cols))
    widths = [float(v) for v in values(t, "142")]
    heights = [float(v) for v in values(t, "141")]
    check(widths == [col_width] * cols, "column widths %s" % widths)
    check(heights == [row_height] * rows, "row heights %s" % heights)
    x, y = float(values(t, "10")[0]), float(values(t, "20")[0])
    check((x, y) == corner, "insertion point %s, expected %s" % ((x, y), corner))
    # Every cell starts as an empty text cell (type 1) with no text.
    types = values(t, "171")
    check(len(types) == rows * cols and set(types) == {"1"}, "cell types %s" % types)


def check_png(path, min_width=400):
    check(os.path.isfile(path), "no screenshot %s" % path)
    with open(path, "rb") as f:
        head = f.read(24)
    check(head[:8] == b"\x89PNG\r\n\x1a\n", "%s is not a PNG" % path)
    width, height = struct.unpack(">II", head[16:24])
    check(width >= min_width and height >= 300, "screenshot %s is %dx%d" % (path, width, height))


def expect_failure(run, *fragments):
    check(run.code == 1, "expected exit 1\n%s" % run)
    for fragment in fragments:
        check(fragment in run.err, "stderr lacks %r\n%s" % (fragment, run))


# ---- cases

def case_table_cells(c):
    run = c.run("--load", c.testmod, "--script", c.script("table_cells.scr"),
                "--save", "out.dxf", "--screenshot", "final.png")
    check(run.code == 0, str(run))
    check("Number of columns <5>:" in run.out and "Specify insertion point:" in run.out,
          "prompts missing from the transcript\n%s" % run)
    check_table(c.path("out.dxf"), 2, 3, 2.0, 0.8, (10.0, 20.0))
    audit(c.path("out.dxf"))
    check_png(c.path("table_cells.png"))
    check_png(c.path("final.png"))


def case_table_dialog(c):
    run = c.run("--script", c.script("table_dialog.scr"), "--save", "out.dxf")
    check(run.code == 0, str(run))
    check("[Message box] Insert Table: Number of columns must be" in run.out, str(run))
    check_table(c.path("out.dxf"), 3, 4, 1.5, 1.0, (0.0, 0.0))
    audit(c.path("out.dxf"))
    check_png(c.path("dialog_open.png"))


def case_dialog_cancel(c):
    run = c.run("--load", c.testmod, "--script", c.script("dialog_cancel.scr"), "--save",
                "out.dxf")
    check(run.code == 0, str(run))
    check(tables(c.path("out.dxf")) == [], "a cancelled command made a table")


def case_unanswered_box(c):
    run = c.run("--script", c.script("unanswered_box.scr"), "--save", "out.dxf")
    expect_failure(run, "unanswered_box.scr:4", "message box \"Insert Table\"",
                   "Number of rows must be")
    check(not os.path.exists(c.path("out.dxf")), "a failed script saved its drawing")


def case_unanswered_dialog(c):
    run = c.run("--script", c.script("unanswered_dialog.scr"))
    expect_failure(run, "unanswered_dialog.scr:2", "dialog \"Insert Table\"")


def case_prompt_waiting(c):
    run = c.run("--script", c.script("prompt_waiting.scr"))
    expect_failure(run, "prompt waits for input", "Number of rows <4>:")


def case_garbage_open(c):
    with open(c.path("garbage.dxf"), "wb") as f:
        f.write(b"\x00\x01\x02 this is not a drawing \xff\xfe\n0\nSECTION\n")
    run = c.run("--script", c.script("garbage_open.scr"))
    expect_failure(run, "garbage_open.scr:2", "garbage.dxf", "not a DXF file")
    run = c.run("--script", c.script("garbage_command.scr"))
    expect_failure(run, "garbage_command.scr:2", "garbage.dxf")
    run = c.run("garbage.dxf")
    expect_failure(run, "garbage.dxf")


def case_toolbar_menu(c):
    run = c.run("--script", c.script("toolbar_menu.scr"))
    check(run.code == 0, str(run))
    check_png(c.path("menu_open.png"))
    run = c.run("--script", c.script("unknown_button.scr"))
    expect_failure(run, "unknown_button.scr:1", "no toolbar button has command id 424242")


def case_ui_module(c):
    uimod = os.path.join(os.path.dirname(c.testmod), "uimod.arx")
    run = c.run("--load", uimod, "--script", c.script("ui_module.scr"), "--transcript",
                "transcript.txt")
    check(run.code == 0, str(run))
    with open(c.path("transcript.txt")) as f:
        transcript = f.read()
    # The dialog stepped aside for a pick, came back and was cancelled.
    picked = "Pick a point for the dialog: 7,8\n[uimod] dialog got 7,8\n[uimod] dialog cancelled"
    for text in ("[Message box] cadhost: Requires a number.", "[uimod] point 10,20",
                 "[uimod] point 30,40", "[uimod] point 5,5", picked):
        check(text in transcript, "transcript lacks %r\n%s" % (text, transcript))
    check("Unknown command" not in transcript, transcript)
    # The frame hides its bars as it closes, just before destroying them.
    hidden = transcript.rfind("[uimod] bar hidden")
    destroyed = transcript.find("[uimod] bar destroyed, hidden")
    check(0 <= hidden < destroyed, "the bar was not hidden before it was destroyed\n" + transcript)
    check_png(c.path("bar.png"))
    check_png(c.path("dialog.png"))


def case_color_dialog(c):
    uimod = os.path.join(os.path.dirname(c.testmod), "uimod.arx")
    run = c.run("--load", uimod, "--script", c.script("color_dialog.scr"), "--transcript",
                "transcript.txt")
    check(run.code == 0, str(run))
    with open(c.path("transcript.txt")) as f:
        transcript = f.read()
    for text in ("[uimod] color 42", "[uimod] color 130", "[uimod] color 256",
                 "[uimod] color 0", "[uimod] color cancelled, still 0",
                 "[Message box] Select Color: \"300\" is not a color index."):
        check(text in transcript, "transcript lacks %r\n%s" % (text, transcript))
    check_png(c.path("color.png"))


def case_menu_groups(c):
    # A menu group loaded the way the suite loader asks for it: LISP on the command line runs
    # MENULOAD, whose .mnl places the pop menu; a bad LISP line is one error and the host goes on.
    with open(c.path("Suite Menu.mns"), "w", newline="\r\n") as f:
        f.write("***MENUGROUP=Vorel\n\n***POP1\n\t\t\t\t[Vorel]\n[Item]^C^C_NOSUCH \n")
    with open(c.path("Suite Menu.mnl"), "w", newline="\r\n") as f:
        f.write("(defun place (/ CNT)\n(setq CNT 1)\n(while (< CNT 24)\n"
                "(if (menucmd (strcat \"P\" (itoa CNT) \".1=?\"))\n(setq CNT (1+ CNT))\n"
                "(progn (if (> CNT 2) (setq CNT (- CNT 2)) (setq CNT 2))\n"
                "(princ (strcat \"placed at \" (itoa CNT)))\n"
                "(menucmd (strcat \"p\" (itoa CNT) \"=+Vorel.pop1\"))\n(setq CNT 25)))))\n"
                "(place)\n")
    with open(c.path("menus.scr"), "w") as f:
        f.write('(command "_.menuload" "%s")(princ)\n' % c.path("Suite Menu.mns"))
        f.write("(while T (setq x 1))\n")
        f.write("(+ 1 (* 2 3))\n")
        f.write("@expect placed at 5\n")
        f.write('(menucmd "P4.1=?")\n')
        f.write('(command "_.menuload" "%s")\n' % c.path("Suite Menu.mns"))
        f.write("@expect already loaded\n")
        f.write("@screenshot menus.png\n")
    run = c.run("--script", "menus.scr", "--transcript", "transcript.txt")
    check(run.code == 0, str(run))
    with open(c.path("transcript.txt")) as f:
        transcript = f.read()
    for text in ("placed at 5", "; error: evaluation stopped: too many steps", "\n7\n", '\n""'):
        check(text in transcript, "transcript lacks %r\n%s" % (text, transcript))
    check_png(c.path("menus.png"))


def case_nested_script(c):
    c.script("nested_inner.scr")
    run = c.run("--load", c.testmod, "--script", c.script("nested_outer.scr"), "--save",
                "out.dxf")
    check(run.code == 0, str(run))
    check_table(c.path("out.dxf"), 2, 2, 2.0, 1.0, (0.0, 0.0))


def case_reopen(c):
    run = c.run("--script", c.script("table_cells.scr"), "--load", c.testmod, "--save",
                "first.dxf")
    check(run.code == 0, str(run))
    run = c.run("--load", c.testmod, "--script", c.script("reopen.scr"), "first.dxf")
    check(run.code == 0, str(run))
    check_table(c.path("reopened.dxf"), 2, 3, 2.0, 0.8, (10.0, 20.0))
    audit(c.path("reopened.dxf"))


def drawing_body(path):
    """The DXF text without the header, which names the file and the time."""
    with open(path, encoding="utf-8", errors="replace") as f:
        text = f.read()
    start = text.find("\nTABLES\n")
    check(start > 0, "%s has no TABLES section" % path)
    return text[start:]


def case_undo(c):
    run = c.run("--script", c.script("undo.scr"))
    check(run.code == 0, str(run))
    same = {"undone.dxf": "one.dxf", "redone.dxf": "two.dxf", "undo_two.dxf": "empty.dxf",
            "undo_all.dxf": "empty.dxf"}
    for saved, expected in same.items():
        check(drawing_body(c.path(saved)) == drawing_body(c.path(expected)),
              "%s differs from %s\n%s" % (saved, expected, run))
        audit(c.path(saved))
    check(drawing_body(c.path("one.dxf")) != drawing_body(c.path("two.dxf")),
          "the second table changed nothing")


def case_undo_commands(c):
    run = c.run("--script", c.script("undo_commands.scr"))
    check(run.code == 0, str(run))
    same = {"t1_undone.dxf": "base.dxf", "t2_undone.dxf": "t1.dxf", "t3_undone.dxf": "t2.dxf",
            "failed_undone.dxf": "t2.dxf", "saved_undo_two.dxf": "t1.dxf",
            "saved_redo_two.dxf": "t3.dxf", "saved.dxf": "t3.dxf",
            "style_undone.dxf": "style_base.dxf", "style_redone.dxf": "style.dxf"}
    for saved, expected in same.items():
        check(drawing_body(c.path(saved)) == drawing_body(c.path(expected)),
              "%s differs from %s\n%s" % (saved, expected, run))
        audit(c.path(saved))
    for changed, before in (("t1.dxf", "base.dxf"), ("t2.dxf", "t1.dxf"), ("t3.dxf", "t2.dxf"),
                            ("style.dxf", "style_base.dxf")):
        check(drawing_body(c.path(changed)) != drawing_body(c.path(before)),
              "%s is the same as %s: the command changed nothing" % (changed, before))
    named = {name: "\nNarrow\n" in drawing_body(c.path(name))
             for name in ("style.dxf", "style_undone.dxf")}
    check(named == {"style.dxf": True, "style_undone.dxf": False},
          "the style \"Narrow\" named before and after U: %s" % named)


def case_setvar(c):
    run = c.run("--script", c.script("setvar.scr"))
    check(run.code == 0, str(run))
    check(len(tables(c.path("left.dxf"))) == 1, "U took back more than UNDOLIMIT steps")


def case_profile_modules(c):
    os.makedirs(c.profile, exist_ok=True)
    with open(os.path.join(c.profile, "startup.lst"), "w") as f:
        f.write("; modules loaded at start-up\n%s\n\nmissing_module.arx\n" % c.testmod)
    # A damaged hive is reported and set aside; the host still starts.
    with open(os.path.join(c.profile, "user.reg"), "w") as f:
        f.write("this is not a registry file\n[HKEY_CURRENT_USER\n")
    run = c.run("--script", c.script("module_messages.scr"), "--transcript", "log.txt")
    check(run.code == 0, str(run))
    with open(c.path("log.txt")) as f:
        log = f.read()
    check("[testmod] message 1" in log and "missing_module.arx" in log,
          "transcript:\n%s" % log)
    check("user.reg" in log, "the damaged hive was not reported:\n%s" % log)
    kept = [n for n in os.listdir(c.profile) if n.startswith("user.reg.bad")]
    check(kept, "the damaged hive was not kept aside: %s" % os.listdir(c.profile))


def case_example_demo(c):
    # The main job's run: the bundled drawing edited by the bundled script
    # through the table add-in (which lies beside the test module).
    examples = os.path.join(HERE, "..", "..", "examples")
    kelvarin = os.path.join(os.path.dirname(c.testmod), "Kelvarin.arx")
    run = c.run("--load", kelvarin, "--script", os.path.join(examples, "demo.scr"),
                "--save", "edited.dxf", "--screenshot", "final.png",
                os.path.join(examples, "tables.dxf"))
    check(run.code == 0, str(run))
    found = tables(c.path("edited.dxf"))
    # The revision table was saved as a template and placed again.
    check(len(found) == 3, "expected three tables, found %d" % len(found))
    texts = [v for t in found for v in values(t, "1")]
    for word in ("Mark", "Oak veneer", "Tag", "Size (W x H)", "Door tags added"):
        check(word in texts, "cell text %r missing: %s" % (word, texts))
    doors, revisions, placed = found
    check(values(placed, "1") == values(revisions, "1"), "the placed copy differs")
    check((float(values(placed, "10")[0]), float(values(placed, "20")[0])) == (20.0, 14.5),
          "the copy stands at %s,%s" % (values(placed, "10"), values(placed, "20")))
    audit(c.path("Templates.db"))
    check(values(doors, "92") == ["5"] and values(revisions, "91") == ["4"],
          "columns %s, rows %s" % (values(doors, "92"), values(revisions, "91")))
    check(values(doors, "171").count("2") == 4, "door tag cells: %s" % values(doors, "171"))
    # The floating pickers' clicks reached revision C: yellow text, a colour
    # 146 fill.
    check("2" in values(revisions, "64") and "146" in values(revisions, "63"),
          "revision C: text colours %s, fills %s" % (values(revisions, "64"),
                                                     values(revisions, "63")))
    audit(c.path("edited.dxf"))
    # Every formatting popup open and every floating picker, as the README
    # shows them.
    for png in ("01_opened_floating_bar.png", "02_insert_menu.png", "03_insert_block_dialog.png",
                "04_edit_attributes_dialog.png", "06_shading_popup.png",
                "07_border_color_popup.png", "08_border_style_popup.png",
                "09_alignment_popup.png", "10_font_color_popup.png", "11_font_color_picker.png",
                "11_shade_color_picker.png", "11_border_picker.png", "11_alignment_picker.png",
                "12_edited.png", "15_save_template_dialog.png", "16_open_template_dialog.png",
                "final.png"):
        check_png(c.path(png))


def case_bad_usage(c):
    for args in (["--bogus"], ["--script"], ["a.dxf", "b.dxf"], ["--save", "x", "--save", "y"]):
        run = c.run(*args)
        check(run.code == 2 and "usage:" in run.err, "%s: %s" % (args, run))
    run = c.run("--script", "does_not_exist.scr")
    check(run.code == 2 and "does_not_exist.scr" in run.err, str(run))


def case_runaway_scripts(c):
    # A folder is no script: bad usage, and nothing is saved.
    os.makedirs(c.path("folder.scr"))
    run = c.run("--script", "folder.scr", "--save", "never.dxf")
    check(run.code == 2 and "it is a folder" in run.err, str(run))
    check(not os.path.exists(c.path("never.dxf")), "saved although nothing ran")
    # Scripts that run themselves or each other end, with the reason.
    with open(c.path("self.scr"), "w") as f:
        f.write("SCRIPT\nself.scr\n")
    with open(c.path("ping.scr"), "w") as f:
        f.write("SCRIPT\npong.scr\n")
    with open(c.path("pong.scr"), "w") as f:
        f.write("SCRIPT\nping.scr\n")
    for script in ("self.scr", "ping.scr"):
        expect_failure(c.run("--script", script, timeout=60), "more than 32 deep")
    # A runaway line is refused at once.
    with open(c.path("long.scr"), "w") as f:
        f.write("X" * (1 << 20) + "\n")
    expect_failure(c.run("--script", "long.scr", timeout=60), "are not taken")


def case_no_leftovers(c):
    # Temporaries of saves and hive writes killed earlier go with the next run.
    os.makedirs(c.profile, exist_ok=True)
    stale = [c.path(".out.dxf.Ab12Cd"), os.path.join(c.profile, "user.reg.tmp-99999-1")]
    for path in stale:
        with open(path, "w") as f:
            f.write("left by a killed writer")
    with open(c.path("empty.scr"), "w") as f:
        f.write("; nothing\n")
    run = c.run("--script", "empty.scr", "--save", "out.dxf")
    check(run.code == 0, str(run))
    for path in stale:
        check(not os.path.exists(path), "still there: %s" % path)
    left = [n for n in os.listdir(c.work) if n.startswith(".out.dxf.")]
    check(not left, "temporaries left: %s" % left)
    audit(c.path("out.dxf"))


CASES = {name[5:]: f for name, f in globals().items() if name.startswith("case_")}


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--cadhost", required=True)
    parser.add_argument("--testmod", required=True)
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
