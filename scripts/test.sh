#!/usr/bin/env bash
# Builds Quillo and runs every test. Optional argument: the CMake preset (dev, asan, tsan, release).
set -euo pipefail
cd "$(dirname "$0")/.."

preset="${1:-dev}"
scripts/setup-deps.sh
# The compiler cache lives outside the clone (ccache's own folder in the home), so later runs
# on the same machine, from any clone, reuse what earlier ones compiled.
export CMAKE_CXX_COMPILER_LAUNCHER="${CMAKE_CXX_COMPILER_LAUNCHER:-ccache}"
export CCACHE_BASEDIR="${CCACHE_BASEDIR:-$PWD}"
cmake --preset "$preset"
cmake --build --preset "$preset"
ctest --preset "$preset"
