#!/usr/bin/env bash
# Builds Quillo and starts it: the window where there is a display, the headless scan report
# where there is none.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup-deps.sh
# Only the programs: the tests and benchmarks have commands of their own.
cmake --preset release -DQUILLO_BUILD_TESTS=OFF -DQUILLO_BUILD_BENCH=OFF >/dev/null
cmake --build --preset release

if [ -x build/release/app/quillo ] && [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
    exec build/release/app/quillo "$@"
fi
exec build/release/app/quillo-scan "$@"
