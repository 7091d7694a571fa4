#!/usr/bin/env bash
# scripts/run.sh as a person at a terminal meets it: help without a build, a word when the program fails, and a
# conversion that shows the program's outcome rather than the build's progress.
# Environment: KORVILANE_BUILD, the built folder that the script runs the program from.
set -u
unset DISPLAY
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
run=$root/scripts/run.sh
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}
build_progress='\[ *[0-9]+%\]|Built target|Scanning dependencies|Linking'

# Tools that note being started, placed before the real ones: help must need none of them.
mkdir "$scratch/tools"
for tool in cmake make wine wine64 wineserver winepath; do
    printf '#!/bin/sh\ntouch "%s/started-%s"\nexit 1\n' "$scratch" "$tool" >"$scratch/tools/$tool"
    chmod +x "$scratch/tools/$tool"
done
for option in --help -h; do
    help=$(PATH="$scratch/tools:$PATH" KORVILANE_BUILD="$scratch/unbuilt" "$run" "$option" 2>&1)
    status=$?
    [ "$status" = 0 ] || fail "$option ended with $status"
    # Every option that the program's parser knows is named at the start of a line of its own.
    options=$(grep -o 'name\.equals(L"[a-z]*")' "$root/settings/CmdParams.cpp" | sed 's/.*L"\([a-z]*\)".*/\1/')
    [ "$(echo "$options" | wc -w)" -ge 11 ] || fail "the parser's options were not found"
    for name in $options; do
        grep -Eq "^ +/$name( |$)" <<<"$help" || fail "$option does not name /$name"
    done
    grep -q 'korvilane\.xml' <<<"$help" || fail "$option does not say where the settings file lives"
done
# The window without a display: one line that says what is needed, and nothing built or started.
window=$(PATH="$scratch/tools:$PATH" KORVILANE_BUILD="$scratch/unbuilt" "$run" 2>&1)
status=$?
[ "$status" = 2 ] || fail "the window without a display ended with $status"
grep -q 'needs an X display: set DISPLAY' <<<"$window" || fail "no word about the display: $window"
[ "$(wc -l <<<"$window")" = 1 ] || fail "not one line: $window"
started=$(ls "$scratch" | grep '^started-')
[ -z "$started" ] || fail "help started: $started"
[ ! -e "$scratch/unbuilt" ] || fail "help made a build folder"

# An option the program does not know: its exit code, and one line with the hint.
"$run" /no-such-option >"$scratch/out" 2>"$scratch/err"
status=$?
[ "$status" = 1 ] || fail "an invalid option ended with $status"
[ "$(wc -l <"$scratch/err")" = 1 ] || fail "not one line on stderr: $(cat "$scratch/err")"
grep -q 'exit code 1.*--help.*/log FILE' "$scratch/err" || fail "no hint: $(cat "$scratch/err")"
[ ! -s "$scratch/out" ] || fail "stdout after an invalid option: $(cat "$scratch/out")"

# A conversion of a 2 x 2 picture: the PNG is written and nothing of the build is shown.
printf 'BM\x46\0\0\0\0\0\0\0\x36\0\0\0\x28\0\0\0\x02\0\0\0\x02\0\0\0\x01\0\x18\0\0\0\0\0\x10\0\0\0\x13\x0b\0\0\x13\x0b\0\0\0\0\0\0\0\0\0\0\0\0\xff\0\xff\0\0\0\xff\0\0\xff\xff\xff\0\0' >"$scratch/in.bmp"
"$run" /file "$scratch/in.bmp" "$scratch/out.png" /format PNG >"$scratch/out" 2>&1
status=$?
[ "$status" = 0 ] || fail "the conversion ended with $status: $(cat "$scratch/out")"
[ "$(head -c 4 "$scratch/out.png" 2>/dev/null | tail -c 3)" = PNG ] || fail "no PNG written"
if grep -Eq "$build_progress" "$scratch/out"; then fail "build progress shown: $(cat "$scratch/out")"; fi

[ "$failures" = 0 ] && echo "run.sh: all checks passed"
exit $((failures > 0))
