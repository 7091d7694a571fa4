#!/usr/bin/env bash
# Fits a folder of camera-like JPEGs (4000 x 3000, quality 92, about 5 MB each; see camera-jpeg.sh) into
# 800 x 800 as JPEG quality 85, and prints pictures per second for korvilane's command line (pipelined, as it
# runs) and, in the same run, for its batch with one worker, ImageMagick's mogrify, GraphicsMagick and
# vipsthumbnail doing the same job. Korvilane's one-worker time is also split into load, convert and save per
# picture (bench/ConvertBench.cpp).
# Builds what it needs into the build folder and installs the three tools when they are missing.
# Environment: KORVILANE_BUILD (build folder, default build/), BENCH_COUNT (number of pictures, default 40).
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${KORVILANE_BUILD:-$root/build}
build=$(mkdir -p "$build" && cd "$build" && pwd)
count=${BENCH_COUNT:-40}
# shellcheck source=../scripts/setup.sh
source "$root/scripts/setup.sh"
# shellcheck source=camera-jpeg.sh
source "$root/bench/camera-jpeg.sh"

korvilane_build "$root" "$build" korvilane convert_bench wineprefix
prefix=$build/wineprefix
bench_install imagemagick graphicsmagick libvips-tools
picture=$(bench_camera_jpeg "$build")

work=$(mktemp -d "${TMPDIR:-/tmp}/korvilane-bench.XXXXXX")
cleanup() {
    WINEPREFIX=$prefix wineserver -k >/dev/null 2>&1 || true
    rm -rf "$work"
}
trap cleanup EXIT

wine_run() {
    env -u KORVILANE_NEEDS_DISPLAY -u KORVILANE_FRESH_PREFIX "$root/scripts/wine-run.sh" "$prefix" "$@"
}
windows_path() {
    WINEPREFIX=$prefix WINEDEBUG=-all env -u DISPLAY winepath -w "$1"
}
now() {
    date +%s.%N
}
# A fresh folder of the pictures: folder NAME
pictures_in() {
    mkdir -p "$work/$1"
    for i in $(seq -f '%02g' 1 "$count"); do
        cp "$picture" "$work/$1/bench$i.jpg"
    done
}
results=()
# Adds a line to the table: result NAME START END
result() {
    results+=("$(awk -v name="$1" -v n="$count" -v s="$2" -v e="$3" \
        'BEGIN { printf "%-34s %8.2f %10.2f", name, n / (e - s), e - s }')")
}
# Stops when a tool wrote fewer pictures than it was given: written FOLDER
written() {
    local made
    made=$(find "$1" -name '*.jpg' | wc -l)
    if [ "$made" != "$count" ]; then
        echo "$1: $made of $count pictures written" >&2
        exit 1
    fi
}

echo "$count copies of $picture ($(stat -c %s "$picture") bytes)"

# Fit into 800 x 800: the long side becomes 800 and the other follows the aspect ratio.
cat >"$work/fit800.xml" <<'EOF'
<?xml version="1.0" encoding="utf-8" standalone="yes"?>
<korvilane>
  <Resize>
    <element name="Enable" value="true"/>
    <element name="Width" value="800"/>
    <element name="Height" value="800"/>
    <element name="Unit" value="0"/>
    <element name="Adjust" value="1"/>
    <element name="Orientation" value="2"/>
  </Resize>
  <Jpeg>
    <element name="Enable" value="true"/>
    <element name="Assign" value="0"/>
    <element name="Quality" value="85"/>
  </Jpeg>
</korvilane>
EOF
settings=$(windows_path "$work/fit800.xml")

pictures_in korvilane
mkdir "$work/korvilane-out"
# Wine's server and services are started first, so that the times are the conversions' own (plus one program
# start).
wine_run "$build/bench/convert_bench.exe" >/dev/null 2>&1 || true
echo "korvilane /par fit800.xml /dir in out /format JPEG"
start=$(now)
wine_run "$build/mainwindow/korvilane.exe" /par "$settings" /dir "$(windows_path "$work/korvilane")" \
    "$(windows_path "$work/korvilane-out")" /format JPEG
end=$(now)
written "$work/korvilane-out"
result "korvilane command line (pipelined)" "$start" "$end"
first=$work/korvilane-out/bench01.jpg
echo "first output: $(identify -format '%m %wx%h quality %Q' "$first"), md5 $(md5sum <"$first" | cut -c1-32)"

mkdir "$work/steps-out"
echo "convert_bench (the batch with one worker, pipelined, and its steps one by one)"
steps=$(wine_run "$build/bench/convert_bench.exe" "$settings" "$(windows_path "$work/korvilane")" \
    "$(windows_path "$work/steps-out")")
echo "$steps"
written "$work/steps-out"
# The batch's own figures, without a program start: "batch, one worker: R pictures per second (N in S s)".
for kind in "one worker" "pipelined"; do
    seconds=$(echo "$steps" | sed -n "s/^batch, $kind: .* in \([0-9.]*\) s)\r*$/\1/p")
    result "korvilane batch ($kind)" 0 "$seconds"
done

pictures_in magick
echo "mogrify -resize 800x800 -quality 85"
start=$(now)
mogrify -resize 800x800 -quality 85 "$work"/magick/*.jpg
end=$(now)
result "ImageMagick mogrify" "$start" "$end"

if command -v gm >/dev/null 2>&1; then
    pictures_in gm
    echo "gm mogrify -resize 800x800 -quality 85"
    start=$(now)
    gm mogrify -resize 800x800 -quality 85 "$work"/gm/*.jpg
    end=$(now)
    result "GraphicsMagick mogrify" "$start" "$end"
fi

if command -v vipsthumbnail >/dev/null 2>&1; then
    pictures_in vips
    mkdir "$work/vips-out"
    echo "vipsthumbnail -s 800x800 -o out/%s.jpg[Q=85]"
    start=$(now)
    vipsthumbnail -s 800x800 -o "$work/vips-out/%s.jpg[Q=85]" "$work"/vips/*.jpg
    end=$(now)
    written "$work/vips-out"
    result "vipsthumbnail" "$start" "$end"
fi

echo
printf '%-34s %8s %10s\n' "$count pictures of 4000 x 3000" "pict/s" "seconds"
printf '%s\n' "${results[@]}"
echo "korvilane per picture (one worker): $(echo "$steps" | sed -n 's/.*; per picture //p')"
