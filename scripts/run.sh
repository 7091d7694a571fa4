#!/usr/bin/env bash
# Sets up the machine, builds korvilane and runs it under Wine with the given arguments; the exit code is the
# program's. Arguments that name Linux files or folders (existing ones, or new ones whose folder exists, such
# as an output folder still to be made) are handed over as Windows paths; options and other words unchanged.
# Environment: KORVILANE_BUILD (build folder, default build/). With DISPLAY set the program gets that display;
# without it a message box fails at once instead of waiting.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${KORVILANE_BUILD:-$root/build}
build=$(mkdir -p "$build" && cd "$build" && pwd)
# shellcheck source=setup.sh
source "$root/scripts/setup.sh"

korvilane_setup
korvilane_build "$root" "$build" korvilane wineprefix
program=$build/mainwindow/korvilane.exe
prefix=$build/wineprefix

# True when the argument is a path as the user means it: an existing file or folder, or a new one inside an
# existing folder. A lone "/word" is an option, not a folder under the root.
is_path() {
    local argument=$1
    [ -e "$argument" ] && return 0
    case $argument in
        -*) return 1 ;;
        /*/*) ;;
        /*) return 1 ;;
        */*) ;;
        *) return 1 ;;
    esac
    [ -d "$(dirname "$argument")" ]
}

windows_path() {
    WINEPREFIX=$prefix WINEDEBUG=-all env -u DISPLAY winepath -w "$1"
}

arguments=()
values_follow=0
for argument in "$@"; do
    if [ "$values_follow" -gt 0 ]; then
        # The values of /format, /dpi and /le are never paths, even when a file of that name exists.
        arguments+=("$argument")
        values_follow=$((values_follow - 1))
        continue
    fi
    case ${argument,,} in
        /format | -format | /le | -le) values_follow=1 ;;
        /dpi | -dpi) values_follow=2 ;;
    esac
    if [ "$values_follow" = 0 ] && is_path "$argument"; then
        arguments+=("$(windows_path "$argument")")
    else
        arguments+=("$argument")
    fi
done

if [ -n "${DISPLAY:-}" ]; then export KORVILANE_NEEDS_DISPLAY=1 KORVILANE_DISPLAY=$DISPLAY; fi
exec "$root/scripts/wine-run.sh" "$prefix" "$program" "${arguments[@]}"
