#!/usr/bin/env bash
# Folder sizing against `du -s --block-size=1` on a synthetic tree of 200,800 files in 10,040
# folders: directorySize of the whole tree and concurrentEntries over its top-level folders,
# warm and (as root) with the page cache dropped before each cold run. Prints median times and
# our/du ratios, and the caches module's full scan of the tree as its one root against
# concurrentEntries alone; exits non-zero when a byte total disagrees with du's.
#
# du counts the folders' own blocks; our walk counts folders as 0, so the expected total is du's
# minus the blocks of every folder in the tree. Hard links in the tree stay within one top-level
# folder, so counting them once per walk agrees with du's once per run.
set -euo pipefail

repeats_warm=${REPEATS_WARM:-5}
repeats_cold=${REPEATS_COLD:-3}
source "$(dirname "$0")/lib.sh"

build_bench quillo-enumeration-bench
make_work_folder quillo-enumeration-bench
tree="$work/tree"

echo "Creating the tree in $tree ..."
"$bench" create "$tree"
files=$(find "$tree" -type f | wc -l)
folders=$(find "$tree" -type d | wc -l)
folder_bytes=$(find "$tree" -type d -printf '%b\n' | awk '{ sum += $1 * 512 } END { print sum }')
echo "Tree: $files files, $folders folders (their own blocks: $folder_bytes bytes)"

du_total() { du -s --block-size=1 "$tree" | cut -f1; }
declare -A commands=(
    [du]="du_total"
    [directorySize]="$bench size $tree"
    [concurrentEntries]="$bench concurrent $tree"
    [systemCaches]="$bench caches $tree"
)
ours=(directorySize concurrentEntries systemCaches)

can_drop_caches() { (sync && echo 3 >/proc/sys/vm/drop_caches) 2>/dev/null; }

# Runs a command `repeats` times and prints "median-seconds total"; with "cold" the page cache is
# dropped before each run.
measure() {
    local name=$1 temperature=$2 repeats=$3 times=() total="" output start end
    for ((run = 0; run < repeats; run++)); do
        if [[ $temperature == cold ]]; then
            sync
            echo 3 >/proc/sys/vm/drop_caches
        fi
        start=$EPOCHREALTIME
        output=$(${commands[$name]})
        end=$EPOCHREALTIME
        times+=("$(awk -v s="$start" -v e="$end" 'BEGIN { printf "%.4f", e - s }')")
        if [[ -n $total && $output != "$total" ]]; then
            echo "$name gave $output, earlier $total" >&2
            output="inconsistent"
        fi
        total=$output
    done
    local median
    median=$(printf '%s\n' "${times[@]}" | sort -g | awk '{ t[NR] = $1 } END { print t[int((NR + 1) / 2)] }')
    echo "$median $total"
}

status=0
report() {
    local temperature=$1 repeats=$2
    declare -A time total
    for name in du "${ours[@]}"; do
        read -r "time[$name]" "total[$name]" < <(measure "$name" "$temperature" "$repeats")
    done
    local expected=$((total[du] - folder_bytes))
    echo
    echo "$temperature (median of $repeats runs)"
    printf '  %-18s %8ss  %14s bytes\n' du "${time[du]}" "${total[du]}"
    for name in "${ours[@]}"; do
        local ratio verdict="total agrees"
        ratio=$(awk -v a="${time[$name]}" -v b="${time[du]}" 'BEGIN { printf "%.2f", a / b }')
        if [[ ${total[$name]} != "$expected" ]]; then
            verdict="TOTAL DIFFERS: expected $expected (du less folder blocks)"
            status=1
        fi
        printf '  %-18s %8ss  %14s bytes  ratio %s  %s\n' "$name" "${time[$name]}" \
            "${total[$name]}" "$ratio" "$verdict"
    done
    printf '  systemCaches / concurrentEntries: %s\n' \
        "$(awk -v a="${time[systemCaches]}" -v b="${time[concurrentEntries]}" 'BEGIN { printf "%.2f", a / b }')"
}

echo "Warming up ..."
for name in du "${ours[@]}"; do
    ${commands[$name]} >/dev/null
done
report warm "$repeats_warm"
if can_drop_caches; then
    report cold "$repeats_cold"
else
    echo
    echo "cold: skipped (dropping the page cache needs root: echo 3 > /proc/sys/vm/drop_caches)"
fi
echo
echo "Goals: concurrentEntries <= 0.5 warm and <= 0.35 cold, directorySize <= 1.0 warm,"
echo "systemCaches <= 1.2 x concurrentEntries."
exit $status
