#!/usr/bin/env bash
# Builds Quillo and starts it: the window where there is a display, the headless scan report
# where there is none.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup-deps.sh
# Only the programs: the tests and benchmarks have commands of their own.
cmake --preset release -DQUILLO_BUILD_TESTS=OFF -DQUILLO_BUILD_BENCH=OFF >/dev/null
cmake --build --preset release

if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
    exec build/release/app/quillo "$@"
fi
echo "Kein Bildschirm gefunden (weder DISPLAY noch WAYLAND_DISPLAY gesetzt): Quillo zeigt den Scan-Bericht ohne Fenster." >&2
exec build/release/app/quillo-scan "$@"
