#!/usr/bin/env bash
# 'make run': the installer under Wine in a throwaway prefix. With a display the wizard opens there;
# without one it runs on a virtual display, a screenshot is saved and the installer is ended.
set -euo pipefail
build=$(realpath "$1")
here=$(dirname "$(realpath "$0")")
source "$here/wine-session.sh"
installer="$build/KelvorinAppPackSetup.exe"
trap wine_session_stop EXIT

if [ -n "${DISPLAY:-}" ]; then
    wine_session_start "$build" wineprefix-run
    wine "$installer"
    exit 0
fi

wine_session_start "$build" wineprefix-run
shots="$build/screenshots"
mkdir -p "$shots"
wine "$installer" &
installer_pid=$!
window=
for _ in $(seq 150); do
    window=$(xdotool search --name 'Kelvorin App Pack' 2>/dev/null | head -n1 || true)
    [ -n "$window" ] && break
    sleep 0.2
done
if [ -z "$window" ]; then
    echo "The installer showed no window within 30 seconds." >&2
    exit 1
fi
sleep 1
import -window root "$shots/run.png"
echo "Installer window: $(xdotool getwindowname "$window")"
echo "Screenshot saved to $shots/run.png"
wineserver -k >/dev/null 2>&1 || true
wait "$installer_pid" 2>/dev/null || true
