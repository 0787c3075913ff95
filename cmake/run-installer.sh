#!/usr/bin/env bash
# 'make run': the installer under Wine in a throwaway prefix. With a display the wizard opens there.
# Without one, the end-to-end driver walks the default installation on a virtual display, prints what
# each page showed and what the installation left, and saves a picture of every page.
set -euo pipefail
build=$(realpath "$1")
here=$(dirname "$(realpath "$0")")
source "$here/wine-session.sh"
trap wine_session_stop EXIT

if [ -n "${DISPLAY:-}" ]; then
    wine_session_start "$build" wineprefix-run
    wine "$build/KelvorinAppPackSetup.exe"
    exit 0
fi

wine_session_start "$build" wineprefix-run
export_driver_environment "$build"
shots="$build/screenshots"
mkdir -p "$shots"
rm -f "$shots"/*.bmp
export KELVORIN_SCREENSHOT_DIR="Z:$(tr '/' '\\' <<<"$shots")"
"$here/wine-run.sh" "$build/tests/e2e_driver.exe" --walkthrough
for picture in "$shots"/*.bmp; do
    convert "$picture" "${picture%.bmp}.png"
    rm -f "$picture"
done
echo
echo "Pictures of the pages: $(ls "$shots"/[1-4]-*.png | tr '\n' ' ')"
echo "To remove the pack again, run its uninstaller in this prefix, on a display (it asks before it removes anything):"
echo "  WINEPREFIX=$WINEPREFIX wine 'C:\\Program Files (x86)\\Kelvorin\\uninstall.exe'"
