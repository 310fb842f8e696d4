#!/usr/bin/env bash
# Regenerates the screenshots the README shows: runs the main job
# (scripts/demo.sh) and copies a chosen set of its screenshots into
# docs/images/, which holds nothing else. Commit the result.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

# The demo's screenshots the README shows, in the README's order.
chosen=(
    00_suite_menu.png
    00_suite_toolbar.png
    01_opened_floating_bar.png
    02_insert_menu.png
    03_insert_block_dialog.png
    06_shading_popup.png
    07_border_color_popup.png
    08_border_style_popup.png
    09_alignment_popup.png
    10_font_color_popup.png
    11_font_color_picker.png
    11_shade_color_picker.png
    11_border_picker.png
    11_alignment_picker.png
    12_edited.png
    15_save_template_dialog.png
    16_open_template_dialog.png
    14_docked_bar.png
)

bash scripts/demo.sh
out="$root/out/demo"
for png in "${chosen[@]}"; do
    if [ ! -s "$out/$png" ]; then
        echo "screenshots: the demo wrote no $png (has examples/demo.scr changed?)" >&2
        exit 1
    fi
done
images="$root/docs/images"
mkdir -p "$images"
rm -f "$images"/*.png
for png in "${chosen[@]}"; do
    cp "$out/$png" "$images/$png"
    echo "screenshots: docs/images/$png"
done
