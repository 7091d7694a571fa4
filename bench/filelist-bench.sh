#!/usr/bin/env bash
# Starts the windowed program on generated folders of small pictures (1,000 in one folder; 10,000 in two
# folders, given as folders and as a layout file) and prints, measured from outside the program
# (bench/FileListBench.cpp): the time until its window shows, the time until every row is listed, the longest
# time the window took to answer a message meanwhile, milliseconds per row, the process's peak memory, and the
# times of sorting by each column, selecting all and removing all. A plain list view filled at once from
# FindFirstFile with one icon per extension is measured the same way in the same run, as the floor.
# Builds what it needs into the build folder. Environment: KORVILANE_BUILD (build folder, default build/),
# BENCH_ROUNDS (runs of each case, default 1).
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${KORVILANE_BUILD:-$root/build}
build=$(mkdir -p "$build" && cd "$build" && pwd)
rounds=${BENCH_ROUNDS:-1}
# shellcheck source=../scripts/setup.sh
source "$root/scripts/setup.sh"

korvilane_build "$root" "$build" korvilane filelist_bench wineprefix
prefix=$build/wineprefix
bench=$build/bench/filelist_bench.exe
work=$(mktemp -d "${TMPDIR:-/tmp}/korvilane-filelist-bench.XXXXXX")
cleanup() {
    rm -rf "$work"
}
trap cleanup EXIT

windows_path() {
    WINEPREFIX=$prefix WINEDEBUG=-all env -u DISPLAY winepath -w "$1"
}
wine_run() {
    env -u KORVILANE_FRESH_PREFIX KORVILANE_NEEDS_DISPLAY=1 "$root/scripts/wine-run.sh" "$prefix" "$@"
}
make_pictures() {
    env -u KORVILANE_NEEDS_DISPLAY -u KORVILANE_FRESH_PREFIX "$root/scripts/wine-run.sh" "$prefix" "$bench" make \
        "$(windows_path "$1")" "$2" "$3"
}

echo "Writing 11,000 pictures under $work"
mkdir -p "$work/one" "$work/a" "$work/b"
make_pictures "$work/one" 1000 1
make_pictures "$work/a" 6000 1
make_pictures "$work/b" 4000 6001
one=$(windows_path "$work/one")
a=$(windows_path "$work/a")
b=$(windows_path "$work/b")
program=$(windows_path "$build/mainwindow/korvilane.exe")
floor=$(windows_path "$bench")

# The layout of both folders' pictures, as the program writes one (named after the product, as the program names it).
{
    printf '<?xml version="1.0" encoding="utf-8" standalone="yes"?>\r\n<setting>\r\n'
    printf '  <element name="application" value="Korvilane"/>\r\n  <element name="files">'
    for folder in "$a" "$b"; do
        local_name=${folder##*\\}
        for file in "$work/$local_name"/*; do
            printf '\r\n    %s\\%s' "$folder" "${file##*/}"
        done
    done
    printf '\r\n  </element>\r\n</setting>\r\n'
} >"$work/both.lay"
layout=$(windows_path "$work/both.lay")

results=()
# Adds a row to the table: measure NAME ROWS PROGRAM ARGS...
measure() {
    local name=$1 rows=$2 output line
    shift 2
    # Each run has an X server of its own: a Wine session still open from the run before (or from the runs
    # without a display) would draw the windows on a display that is gone.
    WINEPREFIX=$prefix wineserver -w
    output=$(wine_run "$bench" measure "$rows" "$@" 2>&1) || true
    line=$(printf '%s\n' "$output" | sed -n 's/^result\t//p' | tr -d '\r')
    if [ -z "$line" ]; then
        printf '%s\n' "$output" >&2
        line="failed"
    fi
    results+=("$(printf '%-28s %s' "$name" "$line")")
}

for round in $(seq 1 "$rounds"); do
    echo "Round $round of $rounds"
    measure "korvilane, 1,000 in a folder" 1000 "$program" "$one"
    measure "korvilane, 10,000 in 2" 10000 "$program" "$a" "$b"
    measure "korvilane, 10,000 layout" 10000 "$program" "$layout"
    measure "floor, 1,000" 1000 "$floor" floor "$one"
    measure "floor, 10,000" 10000 "$floor" floor "$a" "$b"
done

echo
echo "times in seconds (window: from start; listed: after the window) and milliseconds; memory in MB"
printf '%-28s %s\n' "case" $'window\tlisted\tms/row\tanswer\tpeak MB\tsort 0\tsort 1\tsort 2\tsort 3\tselect\tremove\trows'
printf '%s\n' "${results[@]}"
echo "goals: 10,000 listed within 2 s of the window, 1,000 within 0.3 s; every answer within 100 ms;"
echo "       peak memory under 200 MB; sorting and removing all under 1 s"
