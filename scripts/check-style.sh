#!/usr/bin/env bash
# Checks that every tracked C++ file is formatted as .clang-format says and that the checks of
# .clang-tidy find nothing in src/. Needs a configured build folder for the compile commands
# (default: build/dev, as scripts/test.sh leaves it).
set -euo pipefail
cd "$(dirname "$0")/.."

build="${1:-build/dev}"
git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format --dry-run --Werror
# Only the core and the window: tests and benchmarks use patterns (assertions on moved-from
# values, fixtures) that the checks are not configured for.
if ! run-clang-tidy -quiet -p "$build" -j "$(nproc)" "^$PWD/src/" > "$build/clang-tidy.log" 2>&1; then
    grep -E "(error|warning):" "$build/clang-tidy.log" | sort -u
    exit 1
fi
echo "clang-format and clang-tidy: nothing to report"
