#!/usr/bin/env bash
# Builds and runs every test: the Debug suite, then the same suite under
# AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/bootstrap.sh
export QT_QPA_PLATFORM=offscreen
status=0
for preset in dev asan; do
    echo "== $preset: configure and build"
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset"
    echo "== $preset: tests"
    ctest --preset "$preset" || status=1
done
exit $status
