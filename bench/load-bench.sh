#!/usr/bin/env bash
# Runs load_bench (bench/LoadBench.cpp) on the camera-like picture of camera-jpeg.sh: pictures per second of
# each picture loader and the time of loadBitmap's pieces. Builds what it needs into the build folder
# (KORVILANE_BUILD, default build/) and installs ImageMagick when it is missing.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${KORVILANE_BUILD:-$root/build}
build=$(mkdir -p "$build" && cd "$build" && pwd)
# shellcheck source=../scripts/setup.sh
source "$root/scripts/setup.sh"
# shellcheck source=camera-jpeg.sh
source "$root/bench/camera-jpeg.sh"

korvilane_build "$root" "$build" load_bench wineprefix
bench_install imagemagick
picture=$(bench_camera_jpeg "$build")
path=$(WINEPREFIX=$build/wineprefix WINEDEBUG=-all env -u DISPLAY winepath -w "$picture")
env -u KORVILANE_NEEDS_DISPLAY -u KORVILANE_FRESH_PREFIX "$root/scripts/wine-run.sh" "$build/wineprefix" \
    "$build/bench/load_bench.exe" "$path"
