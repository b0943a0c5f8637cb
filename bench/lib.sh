# Shared by the benchmark scripts: `build_bench NAME` builds bench/NAME in release mode and sets
# $bench to it; `make_work_folder NAME` makes a fresh folder removed on exit and sets $work.
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

build_bench() {
    cmake --preset release -S "$repo" -DQUILLO_BUILD_BENCH=ON >/dev/null
    cmake --build "$repo/build/release" --target "$1" >/dev/null
    bench="$repo/build/release/bench/$1"
}

make_work_folder() {
    work=$(mktemp -d "${TMPDIR:-/tmp}/$1-XXXXXX")
    trap 'rm -rf "$work"' EXIT
}
