#!/usr/bin/python3
"""End-to-end cases of the suite: the suite is installed into a fresh profile
with scripts/install-suite.sh, cadhost starts headless and loads
Vorel2005.arx from its start-up list, which writes the suite menu files,
loads the suite menu group and the add-in Kelvarin.arx, which adds its
submenu and toolbar to the group.

usage: suite_e2e.py --cadhost BIN --build DIR --work DIR CASE
"""
import argparse
import os
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))
sys.path.insert(0, HERE)
import run_e2e as e2e  # noqa: E402
from run_e2e import Failure, check, check_png  # noqa: E402

MENU_LISP = (b"(defun init-placemenu (/ CNT)\r\n(setq CNT 1)\r\n(while (< CNT 24)\r\n"
             b"(if (menucmd (strcat \"P\" (itoa CNT) \".1=?\"))\r\n(setq CNT (1+ CNT))\r\n"
             b"(progn\r\n(if (> CNT 2)\r\n(setq CNT (- CNT 2))\r\n(setq CNT 2)\r\n)\r\n"
             b"(menucmd (strcat \"p\" (itoa CNT) \"=+Vorel.pop1\"))\r\n(setq CNT 25)\r\n"
             b")\r\n)\r\n)\r\n)\r\n\r\n\r\n\r\n(init-placemenu)\r\n\r\n")


class Case(e2e.Case):
    def __init__(self, args):
        args.testmod = None
        super().__init__(args)
        self.build = args.build
        self.suite = self.path("vorel/suite")

    def install(self):
        p = subprocess.run([os.path.join(ROOT, "scripts", "install-suite.sh"), "--profile",
                            self.profile, "--prefix", self.path("vorel"), "--build", self.build],
                           capture_output=True, text=True, timeout=120)
        check(p.returncode == 0, "install-suite failed\n%s\n%s" % (p.stdout, p.stderr))

    def write(self, name, text):
        with open(self.path(name), "w") as f:
            f.write(text)
        return name

    def start(self, script, transcript):
        run = self.run("--script", self.write(script + ".scr", SCRIPTS[script]), "--transcript",
                       transcript)
        with open(self.path(transcript)) as f:
            text = f.read()
        check(run.code == 0, "%s\n--- transcript\n%s" % (run, text))
        return text

    def menu_file(self):
        with open(os.path.join(self.suite, "Vorel2005.mns"), encoding="utf-8") as f:
            return f.read()

    def set_machine_values(self, key, values):
        """Replaces the values of a key of the profile's machine hive."""
        path = os.path.join(self.profile, "machine.reg")
        with open(path, encoding="utf-8") as f:
            lines = f.read().splitlines()
        out, skipping = [], False
        header = "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Vorel\\Vorel2005\\%s]" % key
        for line in lines:
            if line.startswith("["):
                skipping = line.lower() == header.lower()
                if skipping:
                    continue
            if not skipping:
                out.append(line)
        out += ["", header] + values
        with open(path, "w", encoding="utf-8") as f:
            f.write("\n".join(out) + "\n")


SCRIPTS = {
    # The suite menu open at the add-in's submenu; then its help and About items chosen.
    "start": "@menu Vorel>Kelvarin\n"
             "@screenshot suite_menu.png\n"
             "@key Escape\n"
             "@key Escape\n"
             "@menu Vorel>Kelvarin>Kelvarin Help\n"
             "@expect Kelvarin Manual.htm\n"
             "@menu Vorel>Kelvarin>About...\n"
             "@dialog About\n"
             "@click 1\n",
    "plain": "@expect Command:\n",
}


def case_install_two_starts(c):
    c.install()
    check(not os.path.exists(os.path.join(c.suite, "Vorel2005.mns")), "menu file before start")
    first = c.start("start", "first.txt")
    check("[Message box]" not in first, "a message box at start-up\n%s" % first)
    check("[Shell open] " + os.path.join(c.suite, "Kelvarin Manual.htm") in first,
          "the help item did not open the manual beside the module\n%s" % first)
    check_png(c.path("suite_menu.png"))
    with open(os.path.join(c.suite, "Vorel2005.mnl"), "rb") as f:
        check(f.read() == MENU_LISP, "the menu LISP file differs")
    menu = c.menu_file()
    for text in ("***MENUGROUP=Vorel", "[->Kelvarin]", "[Display Kelvarin]^P^C^C_VOREL_KELVARIN_SHOW ",
                 '_Toolbar("Kelvarin"', "VOREL_KELVARIN_HELP_SMALL.BMP"):
        check(menu.count(text) == 1, "menu file holds %r %d times\n%s"
              % (text, menu.count(text), menu))
    for bmp in ("VOREL_KELVARIN_SHOW_SMALL.BMP", "VOREL_KELVARIN_HELP_BIG.BMP"):
        check(os.path.isfile(os.path.join(c.suite, bmp)), "%s not installed" % bmp)

    # The second start reads the saved menu file: nothing is added twice.
    second = c.start("start", "second.txt")
    check("[Message box]" not in second, "a message box at start-up\n%s" % second)
    check(c.menu_file() == menu, "the second start changed the menu file\n%s" % c.menu_file())

    # A menu path that is not there fails the script with the reason.
    run = c.run("--script", c.write("wrong.scr", "@menu Vorel>Kelvarin>Nothing\n"))
    e2e.expect_failure(run, 'menu "Kelvarin" has no item "Nothing"')


def case_product_taken_out(c):
    c.install()
    c.start("plain", "first.txt")
    check("[->Kelvarin]" in c.menu_file(), "no submenu after the first start")
    # The add-in leaves the suite: its entries go, another product stays listed.
    c.set_machine_values("MenuToDel", ['"Kelvarin"=""'])
    c.set_machine_values("ProductLink", ['"Other"="%s"' % c.path("vorel/suite/Other.arx")])
    text = c.start("plain", "second.txt")
    menu = c.menu_file()
    check("Kelvarin" not in menu, "the add-in's entries stayed\n%s\n%s" % (menu, text))
    check("***MENUGROUP=Vorel" in menu, "the menu file lost its group\n%s" % menu)
    with open(os.path.join(c.profile, "machine.reg"), encoding="utf-8") as f:
        hive = f.read()
    check('"Kelvarin"=""' not in hive, "the MenuToDel entry was not consumed\n%s" % hive)


CASES = {name[5:]: f for name, f in globals().items() if name.startswith("case_")}


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--cadhost", required=True)
    parser.add_argument("--build", required=True)
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
