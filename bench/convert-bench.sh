#!/usr/bin/env bash
# Converts a folder of large JPEGs (4000 x 3000, generated) to fit 800 x 800 as JPEG quality 85 through
# korvilane's command line and prints pictures per second; where ImageMagick's mogrify is installed, the same
# job with `mogrify -resize 800x800 -quality 85` follows in the same run. Builds what it needs into the build
# folder, installs nothing. Environment: KORVILANE_BUILD (build folder, default build/), BENCH_COUNT (number of
# pictures, default 40).
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${KORVILANE_BUILD:-$root/build}
build=$(mkdir -p "$build" && cd "$build" && pwd)
count=${BENCH_COUNT:-40}
# shellcheck source=../scripts/setup.sh
source "$root/scripts/setup.sh"

korvilane_build "$root" "$build" korvilane make_bench_jpegs wineprefix
prefix=$build/wineprefix

work=$(mktemp -d "${TMPDIR:-/tmp}/korvilane-bench.XXXXXX")
cleanup() {
    WINEPREFIX=$prefix wineserver -k >/dev/null 2>&1 || true
    rm -rf "$work"
}
trap cleanup EXIT
mkdir "$work/in" "$work/out" "$work/magick"

wine_run() {
    env -u KORVILANE_NEEDS_DISPLAY -u KORVILANE_FRESH_PREFIX "$root/scripts/wine-run.sh" "$prefix" "$@"
}
windows_path() {
    WINEPREFIX=$prefix WINEDEBUG=-all env -u DISPLAY winepath -w "$1"
}
now() {
    date +%s.%N
}
# pictures per second: per_second COUNT START END
per_second() {
    awk -v n="$1" -v s="$2" -v e="$3" 'BEGIN { printf "%.2f pictures per second (%d in %.2f s)\n", n / (e - s), n, e - s }'
}

echo "Generating $count JPEGs of 4000 x 3000 ..."
wine_run "$build/bench/make_bench_jpegs.exe" "$(windows_path "$work/in")" "$count"

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

# Wine's server is already up from the generator, so the time is the conversion's own (plus one program start).
echo "korvilane /par fit800.xml /dir in out /format JPEG"
start=$(now)
wine_run "$build/mainwindow/korvilane.exe" /par "$(windows_path "$work/fit800.xml")" \
    /dir "$(windows_path "$work/in")" "$(windows_path "$work/out")" /format JPEG
end=$(now)
written=$(find "$work/out" -name '*.jpg' | wc -l)
if [ "$written" != "$count" ]; then
    echo "korvilane wrote $written of $count pictures" >&2
    exit 1
fi
per_second "$count" "$start" "$end"
if command -v identify >/dev/null 2>&1; then
    echo "first output: $(identify -format '%m %wx%h quality %Q' "$work/out/bench01.jpg")"
fi

if command -v mogrify >/dev/null 2>&1; then
    cp "$work"/in/*.jpg "$work/magick/"
    echo "mogrify -resize 800x800 -quality 85"
    start=$(now)
    mogrify -resize 800x800 -quality 85 "$work"/magick/*.jpg
    end=$(now)
    per_second "$count" "$start" "$end"
else
    echo "mogrify is not installed: no comparison"
fi
