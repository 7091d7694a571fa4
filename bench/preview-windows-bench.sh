#!/usr/bin/env bash
# Starts the windowed program on generated pictures and prints, measured from outside the program
# (bench/PreviewWindowsBench.cpp), for Enter on 2,000 selected small pictures and for six rounds of opening and
# closing (200 ms apart) the preview of a 100-megapixel JPEG before it has decoded, then opening it for good: the
# time until the windows show, the program's threads before, at their peak and once shown, its peak memory and
# the longest time the main window took to answer meanwhile. Builds what it needs into the build folder. The
# program runs from a copy of its own, so that its settings are the defaults. Environment: KORVILANE_BUILD (build
# folder, default build/), BENCH_ROUNDS (runs of each case, default 1), BENCH_PICTURES (default 2000).
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${KORVILANE_BUILD:-$root/build}
build=$(mkdir -p "$build" && cd "$build" && pwd)
rounds=${BENCH_ROUNDS:-1}
pictures=${BENCH_PICTURES:-2000}
# shellcheck source=../scripts/setup.sh
source "$root/scripts/setup.sh"

korvilane_build "$root" "$build" korvilane preview_windows_bench wineprefix
prefix=$build/wineprefix
bench=$build/bench/preview_windows_bench.exe
work=$(mktemp -d "${TMPDIR:-/tmp}/korvilane-preview-windows-bench.XXXXXX")
cleanup() {
    rm -rf "$work"
}
trap cleanup EXIT

windows_path() {
    WINEPREFIX=$prefix WINEDEBUG=-all env -u DISPLAY winepath -w "$1"
}
without_display() {
    env -u KORVILANE_NEEDS_DISPLAY -u KORVILANE_FRESH_PREFIX "$root/scripts/wine-run.sh" "$prefix" "$@"
}

echo "Writing $pictures small pictures and a 100-megapixel one under $work"
mkdir -p "$work/small" "$work/program"
cp "$build/mainwindow/korvilane.exe" "$work/program/"
without_display "$bench" make "$(windows_path "$work/small")" "$pictures"
without_display "$bench" large "$(windows_path "$work/large.jpg")"
program=$(windows_path "$work/program/korvilane.exe")

results=()
measure() {
    local name=$1 output line
    shift
    WINEPREFIX=$prefix wineserver -w
    rm -f "$work/program/korvilane.xml"
    output=$(env -u KORVILANE_FRESH_PREFIX KORVILANE_NEEDS_DISPLAY=1 "$root/scripts/wine-run.sh" "$prefix" "$bench" \
        "$@" 2>&1) || true
    printf '%s\n' "$output" | grep -v '^result' >&2 || true
    line=$(printf '%s\n' "$output" | sed -n 's/^result\t//p' | tr -d '\r')
    results+=("$(printf '%-26s %s' "$name" "${line:-failed}")")
}

for round in $(seq 1 "$rounds"); do
    echo "Round $round of $rounds"
    measure "Enter on $pictures" enter "$pictures" "$program" "$(windows_path "$work/small")"
    measure "100 MP, 6 rounds + open" rounds "$program" "$(windows_path "$work/large.jpg")"
done

echo
echo "shown: seconds from Enter (or the first open) until every window shows; memory in MB; answer in ms"
printf '%-26s %s\n' "case" $'shown\tthreads before\tat most\tafter\tpeak MB\tprivate MB\tanswer'
printf '%s\n' "${results[@]}"
echo "goals: threads about the number of cores above those before; every answer within 100 ms"
