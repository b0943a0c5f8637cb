#!/usr/bin/env bash
# Builds Quillo and runs every test. Optional argument: the CMake preset (dev, asan, tsan, release).
set -euo pipefail
cd "$(dirname "$0")/.."

preset="${1:-dev}"
scripts/setup-deps.sh
source scripts/compiler-cache.sh
cmake --preset "$preset"
cmake --build --preset "$preset"
ctest --preset "$preset"
