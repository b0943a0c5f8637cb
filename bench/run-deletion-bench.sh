#!/usr/bin/env bash
# Deletion throughput against the system's tools, on the file system of $TMPDIR (/tmp):
#   - one file of SIZE_MIB (default 1024) deleted in standard mode (the cost of removal), and
#     overwritten and removed in secureOverwrite mode against
#     `shred -n 1`, in secureOverwriteThreePass mode against `shred -n 3`, and the in-place
#     write bandwidth of `dd if=/dev/zero conv=notrunc,fsync` as the limit;
#   - SMALL_FILES (default 50,000) files of 2 KiB deleted as one item each in standard mode,
#     receipts written to an on-disk store, against `rm -rf` of their folder.
# Every contender gets a freshly written file (or tree), synced, with the page cache dropped
# when allowed (root). Prints median times of REPEATS (SMALL_REPEATS for the small files) runs,
# MB/s (10^6 bytes) and the ratios.
set -euo pipefail

repeats=${REPEATS:-3}
small_repeats=${SMALL_REPEATS:-$repeats}
size_mib=${SIZE_MIB:-1024}
small_files=${SMALL_FILES:-50000}
source "$(dirname "$0")/lib.sh"

build_bench quillo-deletion-bench
make_work_folder quillo-deletion-bench
file="$work/big.bin"
tree="$work/tree"
store="$work/receipts.json"
bytes=$((size_mib * 1024 * 1024))

available=$(df --output=avail -B1 "$work" | tail -1)
if ((available < 2 * bytes)); then
    echo "Only $available bytes free in $work; set SIZE_MIB lower." >&2
    exit 1
fi

settle() {
    sync
    (echo 3 >/proc/sys/vm/drop_caches) 2>/dev/null || true
}

prepare_file() {
    dd if=/dev/zero of="$file" bs=1M count="$size_mib" conv=fsync status=none
    settle
}

prepare_tree() {
    rm -rf "$tree" "$store"
    "$bench" files "$tree" "$small_files" 2048
    settle
}

# Runs `prepare` then times the command, `runs` times; prints the median seconds.
measure() {
    local runs=$1 prepare=$2 times=() start end run
    shift 2
    for ((run = 0; run < runs; run++)); do
        $prepare
        start=$EPOCHREALTIME
        "$@" 2>>"$work/stderr"
        end=$EPOCHREALTIME
        times+=("$(awk -v s="$start" -v e="$end" 'BEGIN { printf "%.4f", e - s }')")
    done
    printf '%s\n' "${times[@]}" | sort -g | awk '{ t[NR] = $1 } END { print t[int((NR + 1) / 2)] }'
}

mbps() { awk -v b="$1" -v p="$2" -v t="$3" 'BEGIN { printf "%.0f", b * p / t / 1e6 }'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }

echo "Overwriting one file of $size_mib MiB (median of $repeats runs)"
dd_time=$(measure "$repeats" prepare_file dd if=/dev/zero of="$file" bs=1M count="$size_mib" \
    conv=notrunc,fsync status=none)
dd_rate=$(mbps "$bytes" 1 "$dd_time")
printf '  %-50s %8ss  %6s MB/s\n' "dd conv=notrunc,fsync (limit)" "$dd_time" "$dd_rate"
# Removing a large file costs the same in every mode (freeing its extents, with discard here);
# shred does not remove, so the overwrite alone is our time less that of standard mode.
removal_time=$(measure "$repeats" prepare_file "$bench" delete standard "$store" "$file")
printf '  %-50s %8ss\n' "standard (removal, receipt)" "$removal_time"
for passes in 1 3; do
    mode=$([[ $passes == 1 ]] && echo secureOverwrite || echo secureOverwriteThreePass)
    shred_time=$(measure "$repeats" prepare_file shred -n "$passes" "$file")
    ours_time=$(measure "$repeats" prepare_file "$bench" delete "$mode" "$store" "$file")
    overwrite_time=$(awk -v a="$ours_time" -v b="$removal_time" 'BEGIN { printf "%.4f", a - b }')
    shred_rate=$(mbps "$bytes" "$passes" "$shred_time")
    ours_rate=$(mbps "$bytes" "$passes" "$ours_time")
    overwrite_rate=$(mbps "$bytes" "$passes" "$overwrite_time")
    printf '  %-50s %8ss  %6s MB/s\n' "shred -n $passes" "$shred_time" "$shred_rate"
    printf '  %-50s %8ss  %6s MB/s  %sx shred, %s of dd\n' "$mode (incl. removal, receipt)" \
        "$ours_time" "$ours_rate" "$(ratio "$ours_rate" "$shred_rate")" \
        "$(ratio "$ours_rate" "$dd_rate")"
    printf '  %-50s %8ss  %6s MB/s  %sx shred, %s of dd\n' "$mode, overwriting alone" \
        "$overwrite_time" "$overwrite_rate" "$(ratio "$overwrite_rate" "$shred_rate")" \
        "$(ratio "$overwrite_rate" "$dd_rate")"
done
grep 'peak resident' "$work/stderr" | sort -t: -k2 -g | tail -1 | sed 's/^/  largest /'

echo
echo "Deleting $small_files files of 2 KiB in standard mode (median of $small_repeats runs)"
rm_time=$(measure "$small_repeats" prepare_tree rm -rf "$tree")
ours_time=$(measure "$small_repeats" prepare_tree "$bench" delete-below standard "$store" "$tree")
printf '  %-50s %8ss\n' "rm -rf" "$rm_time"
printf '  %-50s %8ss  %sx rm\n' "standard (incl. receipts, log)" "$ours_time" \
    "$(ratio "$ours_time" "$rm_time")"
echo
echo "Goals: overwriting alone at least 0.9 of dd, with removal at least 0.75; at most 1.1x rm for small files."
