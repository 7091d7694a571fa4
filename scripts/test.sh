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

# Each test program that opens windows gets an X server of its own from wine-run.sh.
unset KORVILANE_DISPLAY
cleanup() {
    WINEPREFIX="$build/wineprefix" wineserver -k >/dev/null 2>&1 || true
}
trap cleanup EXIT

# shellcheck disable=SC2086
ctest --test-dir "$build" --output-on-failure -j "$(nproc)" ${CTEST_ARGS:-}
