#!/usr/bin/env bash
# Installs the Vorel suite for one user of the host: the modules, the manual
# and the suite toolbar's pictures in one folder (CMake's install step), and a
# host profile whose start-up list loads the suite loader Vorel2005.arx and
# whose machine registry lists Kelvarin.arx under the suite's "ProductLink"
# key (with an empty "MenuToDel" key beside it). The suite loader then loads
# the add-in and writes the suite menu files into the suite folder.
#
# usage: scripts/install-suite.sh --profile DIR [--prefix DIR] [--build DIR]
#   --profile  the host profile to register the suite in (created if missing)
#   --prefix   where the suite folder goes (default: DIR/../vorel), as PREFIX/suite
#   --build    the build folder (default: build/dev)
# Running it again replaces the suite's files and registration; the suite menu
# file written by an earlier start (with the add-in's items) is kept.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
profile="" prefix="" build="$root/build/dev"
while [ $# -gt 0 ]; do
    case "$1" in
    --profile) profile=$2; shift 2 ;;
    --prefix) prefix=$2; shift 2 ;;
    --build) build=$2; shift 2 ;;
    *) echo "install-suite: unknown argument $1" >&2; exit 2 ;;
    esac
done
[ -n "$profile" ] || { echo "usage: $0 --profile DIR [--prefix DIR] [--build DIR]" >&2; exit 2; }
mkdir -p "$profile"
profile=$(cd "$profile" && pwd)
[ -n "$prefix" ] || prefix="$(dirname "$profile")/vorel"
mkdir -p "$prefix"
prefix=$(cd "$prefix" && pwd)

cmake --install "$build" --prefix "$prefix" >/dev/null
suite="$prefix/suite"
for f in Vorel2005.arx Kelvarin.arx "Kelvarin Manual.htm"; do
    [ -f "$suite/$f" ] || { echo "install-suite: $suite/$f was not installed" >&2; exit 1; }
done

/usr/bin/python3 - "$profile" "$suite" <<'PY'
import os
import sys

profile, suite = sys.argv[1], sys.argv[2]
loader = os.path.join(suite, "Vorel2005.arx")
product = os.path.join(suite, "Kelvarin.arx")

# Start-up list: the suite loader once; the add-in is the loader's to load.
path = os.path.join(profile, "startup.lst")
lines = open(path).read().splitlines() if os.path.exists(path) else []
keep = [l for l in lines if os.path.basename(l.strip()) not in ("Vorel2005.arx", "Kelvarin.arx")]
with open(path, "w") as f:
    f.write("\n".join(keep + [loader]) + "\n")

# Machine registry (REGEDIT4): the suite's keys replaced, every other key kept.
def quote(text):
    return '"' + text.replace("\\", "\\\\").replace('"', '\\"') + '"'

suite_key = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Vorel\\Vorel2005\\"
ours = {suite_key + "ProductLink": ['"Kelvarin"=' + quote(product)], suite_key + "MenuToDel": []}
path = os.path.join(profile, "machine.reg")
sections, current = [], None
if os.path.exists(path):
    for line in open(path, encoding="utf-8").read().splitlines():
        if line.startswith("[") and line.rstrip().endswith("]"):
            current = [line.strip()[1:-1], []]
            sections.append(current)
        elif current is not None and line.strip():
            current[1].append(line)
sections = [s for s in sections if s[0].lower() not in (k.lower() for k in ours)]
sections += [[k, v] for k, v in ours.items()]
text = "REGEDIT4\n"
for key, values in sections:
    text += "\n[" + key + "]\n" + "".join(v + "\n" for v in values)
tmp = path + ".installing"
with open(tmp, "w", encoding="utf-8") as f:
    f.write(text)
os.replace(tmp, path)
PY
echo "install-suite: suite in $suite, registered in the profile $profile"
