#!/usr/bin/env bash
# Makes the README's picture of the main window, docs/main-window.png: the window as the program opens it, with
# generated pictures listed and the first one in the preview, on a private X server under Wine with the
# Japanese locale. Run it after changing anything the main window shows, and commit the picture.
# Environment: KORVILANE_BUILD (build folder, default build/).
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${KORVILANE_BUILD:-$root/build}
# shellcheck source=setup.sh
source "$root/scripts/setup.sh"

korvilane_setup
korvilane_build "$root" "$build" mainwindow_window_tests wineprefix >"$build/screenshot-build.log" 2>&1 || {
    cat "$build/screenshot-build.log" >&2
    exit 1
}

tests=$build/tests/mainwindow/windows
rm -f "$tests/screenshots/main-window.png"
unset KORVILANE_DISPLAY
(cd "$tests" && KORVILANE_NEEDS_DISPLAY=1 KORVILANE_FRESH_PREFIX=1 "$root/scripts/wine-run.sh" "$build/wineprefix" \
    "$tests/mainwindow_window_tests.exe" --gtest_filter='MainWindowTest.PreviewShows*')
mkdir -p "$root/docs"
cp "$tests/screenshots/main-window.png" "$root/docs/main-window.png"
echo "screenshot.sh: wrote docs/main-window.png"
