#!/usr/bin/env bash
# 'make bench': the figures, printed. Run on demand; the tests never time anything.
set -euo pipefail
build=$(realpath "$1")
here=$(dirname "$(realpath "$0")")
source "$here/wine-session.sh"
trap wine_session_stop EXIT
wine_session_start "$build" wineprefix-bench own-display
wine_figures=$(for benchmark in "$build"/benchmarks/*.exe; do "$here/wine-run.sh" "$benchmark"; done)
host_figures=$("$build/host/host_decode_benchmark" "$build/generated/payload.lzma")
printf '%s\n%s\n' "$wine_figures" "$host_figures"
load=$(sed -n 's/^LoadPayload.*: \([0-9.]*\) ms.*/\1/p' <<<"$wine_figures")
native=$(sed -n 's/^The same decode.*: \([0-9.]*\) ms.*/\1/p' <<<"$host_figures")
[ -n "$load" ] && [ -n "$native" ] && awk -v l="$load" -v n="$native" \
    'BEGIN { printf "LoadPayload under Wine / native decode: %.1f\n", l / n }'
