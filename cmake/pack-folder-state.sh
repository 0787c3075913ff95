#!/usr/bin/env bash
# Records what a pack folder holds: each entry's name, kind, size, last-write time and change time (a
# program replaced by an older copy brings an older last-write time, but a new change time). The
# record is rewritten only when it differs, so the payload is built again exactly when the folder
# changed, whatever times its files carry.
# Usage: pack-folder-state.sh <pack folder> <record>
set -u
folder=$1
record=$2
find -L "$folder" -mindepth 1 -maxdepth 1 -printf '%f %y %s %T@ %C@ %i\n' 2>&1 | LC_ALL=C sort >"$record.new"
if cmp -s "$record.new" "$record"; then
    rm -f "$record.new"
else
    mv "$record.new" "$record"
fi
