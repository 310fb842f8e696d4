#!/usr/bin/env bash
# Runs one libFuzzer target for a given time: scripts/fuzz.sh TARGET [SECONDS]
# e.g. scripts/fuzz.sh dxf_reader_fuzz 60. Seeds come from fuzz/corpus/<name>.
set -euo pipefail
cd "$(dirname "$0")/.."
target=${1:?usage: scripts/fuzz.sh TARGET [SECONDS]}
seconds=${2:-60}
bash scripts/bootstrap.sh
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz --target "$target"
seeds=fuzz/corpus/${target%_fuzz}
work=build/fuzz/corpus-$target
mkdir -p "$work"
build/fuzz/bin/"$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 "$work" "$seeds"
