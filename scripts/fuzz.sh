#!/usr/bin/env bash
# Builds the libFuzzer targets (the fuzz preset: clang, AddressSanitizer and
# UndefinedBehaviorSanitizer) and runs each for a bounded time against a copy of its seed
# corpus in tests/fuzz/corpus/, so the repository is never written. Fails on any crash, leak or
# undefined behaviour; the input that found it is left in the printed folder.
# QUILLO_FUZZ_SECONDS: seconds per target (default 20). Optional arguments: the targets to run.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds="${QUILLO_FUZZ_SECONDS:-20}"
scripts/setup-deps.sh
source scripts/compiler-cache.sh
cmake --preset fuzz
cmake --build --preset fuzz

if [ $# -gt 0 ]; then
    targets=("$@")
else
    targets=()
    for folder in tests/fuzz/corpus/*/; do
        targets+=("$(basename "$folder")")
    done
fi

work="$(mktemp -d "${TMPDIR:-/tmp}/quillo-fuzz.XXXXXX")"
failed=()
for target in "${targets[@]}"; do
    corpus="$work/$target/corpus"
    artifacts="$work/$target/artifacts"
    mkdir -p "$corpus" "$artifacts"
    cp -R "tests/fuzz/corpus/$target/." "$corpus/"
    options=()
    case "$target" in
        property_list | info_dictionary) options+=(-dict=tests/fuzz/dict/plist.dict) ;;
        receipts_json | defaults_json) options+=(-dict=tests/fuzz/dict/json.dict) ;;
        snapshot_list) options+=(-dict=tests/fuzz/dict/snapshot.dict) ;;
    esac
    echo "== fuzz_$target: ${seconds} s"
    # New inputs go to the copy; the seeds in the repository are only read.
    if ! build/fuzz/tests/fuzz/"fuzz_$target" -max_total_time="$seconds" -timeout=10 \
        -rss_limit_mb=2048 -max_len=65536 -print_final_stats=1 "${options[@]}" \
        -artifact_prefix="$artifacts/" "$corpus" 2>"$work/$target/log"; then
        failed+=("$target")
        tail -n 60 "$work/$target/log"
        echo "fuzz_$target failed; its input is in $artifacts"
    else
        grep -E '^(stat::number_of_executed_units|stat::average_exec_per_sec|Done)' \
            "$work/$target/log" || true
    fi
done

if [ ${#failed[@]} -ne 0 ]; then
    echo "Fuzz targets that failed: ${failed[*]}"
    exit 1
fi
rm -rf "$work"
