#!/bin/sh
# Runs a program of the build under Wine: wine-run.sh PREFIX PROGRAM [ARGS...]
# PREFIX is the build's template prefix. Environment:
#   KORVILANE_FRESH_PREFIX=1   run in a throwaway copy of the prefix (for programs that change it)
#   KORVILANE_NEEDS_DISPLAY=1  the program opens windows: use KORVILANE_DISPLAY, or else a private Xvfb of its
#                              own (test programs running side by side must not cover each other's windows
#                              on one screen, nor receive each other's mouse moves)
set -u
prefix=$1
shift
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8

if [ ! -f "$prefix/.korvilane-ready" ]; then
    echo "wine-run.sh: the Wine prefix $prefix is not prepared (build the 'wineprefix' target)" >&2
    exit 2
fi

copy=""
if [ "${KORVILANE_FRESH_PREFIX:-0}" = 1 ]; then
    copy=$(mktemp -d "${TMPDIR:-/tmp}/korvilane-prefix.XXXXXX")
    cp -a "$prefix/." "$copy/"
    prefix=$copy
fi
export WINEPREFIX="$prefix"

status=0
if [ "${KORVILANE_NEEDS_DISPLAY:-0}" = 1 ]; then
    if [ -n "${KORVILANE_DISPLAY:-}" ]; then
        DISPLAY=$KORVILANE_DISPLAY wine "$@" || status=$?
    else
        # -displayfd lets the server pick a free display number itself, so programs started at the same time
        # never race for one.
        number_file=$(mktemp "${TMPDIR:-/tmp}/korvilane-display.XXXXXX")
        Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$number_file" >/dev/null 2>&1 &
        xvfb_pid=$!
        trap 'kill "$xvfb_pid" 2>/dev/null' EXIT INT TERM
        tries=0
        while [ ! -s "$number_file" ] && [ $tries -lt 100 ]; do sleep 0.1; tries=$((tries + 1)); done
        if [ -s "$number_file" ]; then
            DISPLAY=":$(head -n 1 "$number_file")" wine "$@" || status=$?
        else
            echo "wine-run.sh: Xvfb did not start" >&2
            status=2
        fi
        kill "$xvfb_pid" 2>/dev/null
        wait "$xvfb_pid" 2>/dev/null
        rm -f "$number_file"
    fi
else
    # Without a display a stray message box fails at once instead of waiting for a click.
    env -u DISPLAY wine "$@" || status=$?
fi

if [ -n "$copy" ]; then
    wineserver -k >/dev/null 2>&1
    rm -rf "$copy"
fi
exit $status
