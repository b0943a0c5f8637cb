#!/usr/bin/env bash
# The privacy audit of 500 synthetic application bundles, against only reading their Info.plist.
set -euo pipefail
source "$(dirname "$0")/lib.sh"

build_bench quillo-audit-bench
make_work_folder quillo-audit-bench
"$bench" "$work"
