#!/usr/bin/env bash
# The test command: every test program runs under Wine, on a virtual display of its own.
# Arguments after the build folder go to ctest, e.g. -R Scenario to run a part of the suite.
set -euo pipefail
build=$(realpath "$1")
shift
here=$(dirname "$(realpath "$0")")
source "$here/wine-session.sh"
trap wine_session_stop EXIT
echo "Preparing a fresh Wine prefix for the tests..."
wine_session_start "$build" wineprefix-test own-display
# End-to-end scenarios each start from a copy of the prefix as it is now, untouched by any test.
export KELVORIN_E2E_TEMPLATE="$build/wineprefix-e2e-template"
rm -rf "$KELVORIN_E2E_TEMPLATE"
cp -a "$WINEPREFIX" "$KELVORIN_E2E_TEMPLATE"
export KELVORIN_SCREENSHOT_DIR="$build/screenshots"
mkdir -p "$KELVORIN_SCREENSHOT_DIR"
cd "$build"
status=0
ctest --output-on-failure --timeout 300 "$@" || status=$?
# The window tests capture BMP files from inside Wine; PNG is what viewers and the README take.
for bmp in "$KELVORIN_SCREENSHOT_DIR"/*.bmp; do
    [ -e "$bmp" ] || continue
    convert "$bmp" -define png:exclude-chunks=date,time "${bmp%.bmp}.png" && rm -f "$bmp"
done
exit $status
