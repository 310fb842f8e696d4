#!/usr/bin/env bash
# Builds the optimised benchmarks and runs each; every one prints its ratio
# against a baseline measured in the same run.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/bootstrap.sh
cmake --preset release >/dev/null
cmake --build --preset release
for b in build/release/bin/*_bench; do
    echo "== $(basename "$b")"
    "$b" "$@"
done
