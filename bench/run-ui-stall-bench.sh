#!/usr/bin/env bash
# The window's longest stall while the real modules scan a fake home of 200,800 files (the
# enumeration benchmark's tree under ~/.cache) and the largest module's list is shown.
set -euo pipefail
source "$(dirname "$0")/lib.sh"

build_bench quillo-enumeration-bench
tree_maker="$bench"
build_bench quillo-ui-stall-bench
make_work_folder quillo-ui-stall-bench
mkdir -p "$work/home/.cache" "$work/system"
echo "Creating the tree in $work/home/.cache ..."
"$tree_maker" create "$work/home/.cache/tree"
QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR="$work" "$bench" "$work/home"
