#!/usr/bin/env bash
# 'make run': the installer under Wine in a throwaway prefix. With a display the wizard opens there.
# Without one, the end-to-end driver walks the default installation on a virtual display, prints what
# each page showed and what the installation left, and saves a picture of every page.
# 'make run-uninstall' (second argument "uninstall"): the uninstaller of that installation, in the
# same prefix, on the display or, without one, answered Yes by the driver, which prints what is left.
set -euo pipefail
build=$(realpath "$1")
here=$(dirname "$(realpath "$0")")
source "$here/wine-session.sh"
trap wine_session_stop EXIT

if [ "${2:-install}" = uninstall ]; then
    start_session=wine_session_resume
    program='C:\Program Files (x86)\Kelvorin\uninstall.exe'
    walk=--uninstall
else
    start_session=wine_session_start
    program="$build/KelvorinAppPackSetup.exe"
    walk=--walkthrough
fi

on_display=${DISPLAY:-}
"$start_session" "$build" wineprefix-run
if [ -n "$on_display" ]; then
    wine "$program"
    exit 0
fi

export_driver_environment "$build"
shots="$build/screenshots"
mkdir -p "$shots"
rm -f "$shots"/*.bmp
export KELVORIN_SCREENSHOT_DIR="Z:$(tr '/' '\\' <<<"$shots")"
"$here/wine-run.sh" "$build/tests/e2e_driver.exe" "$walk"
for picture in "$shots"/*.bmp; do
    [ -e "$picture" ] || continue
    convert "$picture" "${picture%.bmp}.png"
    rm -f "$picture"
done
echo
if [ "$walk" = --uninstall ]; then
    echo "Picture of the question: $shots/5-uninstall.png"
else
    echo "Pictures of the pages: $(ls "$shots"/[1-4]-*.png | tr '\n' ' ')"
    echo "To remove the pack again with its uninstaller, in this prefix: make run-uninstall"
fi
