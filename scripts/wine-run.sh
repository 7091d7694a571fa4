#!/bin/sh
# Runs a program of the build under Wine: wine-run.sh PREFIX PROGRAM [ARGS...]
# PREFIX is the build's template prefix. Environment:
#   KORVILANE_FRESH_PREFIX=1   run in a throwaway copy of the prefix (for programs that change it)
#   KORVILANE_NEEDS_DISPLAY=1  the program opens windows: use KORVILANE_DISPLAY, or a private Xvfb
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
        xvfb-run -a -s "-screen 0 1024x768x24 -nolisten tcp" wine "$@" || status=$?
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
