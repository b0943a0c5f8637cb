#!/usr/bin/env bash
# Builds Quillo and starts it: the window where there is a display, the headless scan report
# where there is none.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup-deps.sh
cmake --preset release >/dev/null
cmake --build --preset release

if [ -x build/release/app/quillo ] && [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
    exec build/release/app/quillo "$@"
fi
exec build/release/app/quillo-scan "$@"
