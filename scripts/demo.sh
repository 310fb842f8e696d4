#!/usr/bin/env bash
# The main job: builds the host and runs it headless on the bundled example
# drawing with the example script. The edited drawing, the screenshots and the
# transcript land in out/demo; their paths are printed at the end.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
bash scripts/bootstrap.sh
cmake --preset dev >/dev/null
cmake --build --preset dev

bin="$root/build/dev/bin"
out="$root/out/demo"
rm -rf "$out"
mkdir -p "$out"
# The table add-in; once the suite loader is built, it loads the add-in.
modules=(--load "$bin/Kelvarin.arx")
[ -f "$bin/Vorel2005.arx" ] && modules=(--load "$bin/Vorel2005.arx")

status=0
(cd "$out" && "$bin/cadhost" --headless --profile "$out/profile" "${modules[@]}" \
    --script "$root/examples/demo.scr" --save edited.dxf --screenshot 13_final.png \
    --transcript transcript.txt "$root/examples/tables.dxf") || status=$?

if [ "$status" -ne 0 ]; then
    echo "demo: cadhost failed (exit $status); see $out/transcript.txt" >&2
    exit "$status"
fi
# A second start with the bar docked at the top (as the registry keeps it).
cat >"$out/profile/user.reg" <<'REG'
REGEDIT4

[HKEY_CURRENT_USER\software\Vorel\Vorel2005\Kelvarin\ToolBar]
"Visible"=dword:00000001
"IsFloating"=dword:00000000
"DockStyle"=dword:00002000
REG
(cd "$out" && "$bin/cadhost" --headless --profile "$out/profile" "${modules[@]}" \
    --script "$root/examples/docked.scr" --transcript transcript_docked.txt edited.dxf) || {
    echo "demo: the docked-bar run failed; see $out/transcript_docked.txt" >&2
    exit 1
}
echo "demo: ezdxf audit of the edited drawing and the template database:"
/usr/bin/python3 -m ezdxf audit "$out/edited.dxf" | sed 's/^/  /'
/usr/bin/python3 -m ezdxf audit "$out/Templates.db" | sed 's/^/  /'
echo "demo: edited drawing  $out/edited.dxf"
echo "demo: templates       $out/Templates.db"
echo "demo: transcript      $out/transcript.txt"
for png in "$out"/*.png; do
    echo "demo: screenshot      $png"
done
