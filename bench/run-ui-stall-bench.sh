#!/usr/bin/env bash
# The window's longest stall for each step of a user's session (see ui_stall_bench.cpp), in two
# fake homes: one whose ~/.cache holds the enumeration benchmark's deep tree of 200,800 files,
# and one with ROWS (default 100,000) files at the top of ~/.cache, one row each in the list.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
rows=${ROWS:-100000}

build_bench quillo-enumeration-bench
tree_maker="$bench"
build_bench quillo-deletion-bench
files_maker="$bench"
build_bench quillo-ui-stall-bench
make_work_folder quillo-ui-stall-bench

run_in_home() {
    mkdir -p "$1/system"
    QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR="$work" "$bench" "$1"
}

echo "A deep tree of 200,800 files in ~/.cache"
"$tree_maker" create "$work/deep/.cache/tree"
run_in_home "$work/deep"
echo
echo "$rows files at the top of ~/.cache"
"$files_maker" files "$work/wide/.cache" "$rows" 512
run_in_home "$work/wide"
