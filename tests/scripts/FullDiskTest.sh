#!/bin/sh
# Runs the command with KORVILANE_FULL_FOLDER naming a folder on a disk of 4 MB of its own, which is mounted for
# it and removed however the command ends; the tests fill it up to the room each of them needs. Mounting needs
# root, as CI has; without it the entry is skipped.
folder=$(mktemp -d "${TMPDIR:-/tmp}/korvilane-full.XXXXXX") || exit 1
trap 'umount -l "$folder" 2>/dev/null; rmdir "$folder"' EXIT
trap 'exit 1' INT TERM HUP
if [ "$(id -u)" != 0 ] || ! mount -t tmpfs -o size=4m korvilane-full "$folder"; then
    echo "skipped: a small disk of its own needs root and tmpfs"
    exit 77
fi
KORVILANE_FULL_FOLDER="Z:$(printf %s "$folder" | tr / '\\')" "$@"
