#!/usr/bin/env bash
# Sets up the machine, builds korvilane and runs it under Wine with the given arguments; the exit code is the
# program's. Arguments that name Linux files or folders (existing ones, or new ones whose folder exists, such
# as an output folder still to be made) are handed over as Windows paths; options and other words unchanged.
# The build is quiet unless it fails; "--help" or "-h" prints the program's options without building.
# Without arguments, or with only picture files and layout files, the program opens its main window, which
# needs the X display in DISPLAY; without one the script says so and builds nothing.
# Environment: KORVILANE_BUILD (build folder, default build/). With DISPLAY set the program gets that display;
# without it a message box fails at once instead of waiting.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${KORVILANE_BUILD:-$root/build}

show_help() {
    cat <<HELP
Usage: scripts/run.sh [ARGUMENTS]
Builds korvilane.exe and runs it under Wine; the exit code is the program's.

Without arguments, or with picture files (or one layout file) only, korvilane opens its main window with
those pictures listed; that needs an X display in DISPLAY (for example DISPLAY=:0, or run it under xvfb-run).

With options, korvilane converts pictures without a window and ends with exit code 0 when every picture was
written, 1 otherwise (invalid options end silently with 1). Options may be written with "-" for "/" and in
any case; only the last /file, /dir or /fileindirect counts.
  /file SOURCE TARGET    convert one picture into the file TARGET
  /dir SOURCE TARGET     convert every readable picture of folder SOURCE into folder TARGET
  /fileindirect PICTURE  convert one picture into its own folder with the format's extension (:clipboard too)
  /format FORMAT         output format: JPEG (the default), GIF, TIFF, PNG, BMP, WDP or HDP
  /par SETTINGS          take the settings from this file (XML; INI when its name ends in .ini)
  /overwrite             replace targets that exist, except sources still to be converted (an existing target
                         that is not replaced stops the run)
  /delsrc                delete the sources once every picture has been written
  /dpi X Y               write this resolution (both greater than 0) into the pictures
  /log FILE              write what happened to each picture into FILE
  /le ENCODING           encoding of the log: utf-8 (the default), utf-16 or shift_jis
  /u                     show the outcome in a message box (needs DISPLAY)
Arguments that name Linux files or folders are handed over as Windows paths.

Examples:
  scripts/run.sh ~/pictures/*.jpg
  scripts/run.sh /dir ~/pictures ~/png /format PNG /log ~/png/convert.log
  scripts/run.sh /file ~/pictures/a.jpg ~/a.png /format PNG /par ~/korvilane.xml

Settings: korvilane reads $build/mainwindow/korvilane.xml
(beside korvilane.exe) when it exists, and its defaults otherwise; /par names another file for one run.
HELP
}

case ${1:-} in
    --help | -h)
        show_help
        exit 0
        ;;
esac

# True when an argument is an option of the command-line mode (it begins with "/" or "-" and is no file).
has_option() {
    local argument
    for argument in "$@"; do
        case $argument in
            /* | -*) [ -e "$argument" ] || return 0 ;;
        esac
    done
    return 1
}

if [ -z "${DISPLAY:-}" ] && ! has_option "$@"; then
    echo "run.sh: the main window needs an X display: set DISPLAY (for example DISPLAY=:0) or run under xvfb-run; options such as /dir convert without one (see scripts/run.sh --help)." >&2
    exit 2
fi

build=$(mkdir -p "$build" && cd "$build" && pwd)
# shellcheck source=setup.sh
source "$root/scripts/setup.sh"

korvilane_setup
program=$build/mainwindow/korvilane.exe
prefix=$build/wineprefix

# The build's own output matters only when it fails.
build_log=$build/run-build.log
if [ ! -f "$program" ] || [ ! -f "$prefix/.korvilane-ready" ]; then
    echo "Building korvilane and its Wine prefix; the first time takes a few minutes (about 3 on 8 cores)." >&2
fi
if ! korvilane_build "$root" "$build" korvilane wineprefix >"$build_log" 2>&1; then
    cat "$build_log" >&2
    echo "run.sh: the build failed; its output is in $build_log" >&2
    exit 1
fi

# True when the argument is a path as the user means it: an existing file or folder, or a new one inside an
# existing folder. A lone "/word" is an option, not a folder under the root, and the program's own option
# words stay options even where the root has a folder of that name (many machines have a /log).
is_path() {
    local argument=$1
    case ${argument,,} in
        /par | /format | /overwrite | /delsrc | /file | /fileindirect | /dir | /dpi | /u | /log | /le) return 1 ;;
    esac
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
status=0
"$root/scripts/wine-run.sh" "$prefix" "$program" "${arguments[@]}" || status=$?
# The program is a windowed one and says nothing on the terminal, not even about options it did not understand.
if [ "$status" != 0 ]; then
    echo "korvilane ended with exit code $status: invalid options end silently (see scripts/run.sh --help); add \"/log FILE\" to see what happened per picture." >&2
fi
exit "$status"
