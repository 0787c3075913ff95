#!/usr/bin/env bash
# Writes the time that signatures carry when no time-stamping authority is named, the source's and not
# the clock's, so that signing one commit twice gives one file: SOURCE_DATE_EPOCH when it is set,
# otherwise the time of the checked-out commit, outside a git checkout the newest source file's time.
# The file is rewritten only when the time changes, so that a build signs again exactly then.
#   signing-time.sh SOURCE_DIR FILE
set -u
source_dir=$1
file=$2
time=${SOURCE_DATE_EPOCH:-}
[ -n "$time" ] || time=$(git -C "$source_dir" log -1 --format=%ct 2>/dev/null)
[ -n "$time" ] || time=$(find "$source_dir" \( -name '.git' -o -name 'build*' \) -prune -o \
    -type f -printf '%T@\n' | sort -n | tail -n1 | cut -d. -f1)
[ -n "$time" ] || { echo "No signing time: $source_dir has no files" >&2; exit 1; }
[ "$(cat "$file" 2>/dev/null)" = "$time" ] || echo "$time" >"$file"
