#!/usr/bin/env bash
# Sets up the machine, builds korvilane and its tests for Windows x64, and runs every test under Wine.
# Environment: KORVILANE_BUILD (build folder, default build/), CTEST_ARGS (extra ctest arguments).
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${KORVILANE_BUILD:-$root/build}
# shellcheck source=setup.sh
source "$root/scripts/setup.sh"

korvilane_setup
korvilane_build "$root" "$build"

# One X server for every test that opens windows.
display_number=$(( 90 + $$ % 100 ))
while [ -e "/tmp/.X${display_number}-lock" ]; do display_number=$((display_number + 1)); done
Xvfb ":$display_number" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
cleanup() {
    kill "$xvfb_pid" 2>/dev/null || true
    WINEPREFIX="$build/wineprefix" wineserver -k >/dev/null 2>&1 || true
}
trap cleanup EXIT
export KORVILANE_DISPLAY=":$display_number"

# shellcheck disable=SC2086
ctest --test-dir "$build" --output-on-failure -j "$(nproc)" ${CTEST_ARGS:-}
