#!/usr/bin/env bash
# Runs the end-to-end driver for one scenario in a fresh prefix of its own, copied from the pristine
# one the test runner made, with its own wineserver. Listing the scenarios needs no fresh prefix.
# KELVORIN_E2E_INSTALLER_BUILD names another build whose installer the scenario drives, such as a release.
set -u
here=$(dirname "$(realpath "$0")")
driver=$1
shift
if [[ " $* " == *" --gtest_list_tests "* ]]; then
    exec "$here/../../cmake/wine-run.sh" "$driver" "$@"
fi
: "${KELVORIN_E2E_TEMPLATE:?run through 'make test'}"
build=$(realpath "${KELVORIN_E2E_INSTALLER_BUILD:-$(dirname "$(dirname "$(realpath "$driver")")")}")
# The pictures of the pages are those of this build's own installer, never of another build's.
[ -z "${KELVORIN_E2E_INSTALLER_BUILD:-}" ] || unset KELVORIN_SCREENSHOT_DIR
scenario=$(sed -n 's/.*--gtest_filter=\([^ ]*\).*/\1/p' <<<"$*" | tr -c 'A-Za-z0-9_.\n' '_')
export WINEPREFIX="$build/e2e-prefixes/${scenario:-all}"
volume="$WINEPREFIX.volume"
source "$here/../../cmake/wine-session.sh"

finish() {
    wine_session_stop
    wineserver -w >/dev/null 2>&1
    if mountpoint -q "$volume" 2>/dev/null; then
        umount "$volume" || umount -l "$volume"
    fi
    [ -d "$volume" ] && rmdir "$volume"
    rm -rf "$WINEPREFIX"
}

# A run killed before its end may have left its volume mounted.
finish
mkdir -p "$(dirname "$WINEPREFIX")"
cp -a "$KELVORIN_E2E_TEMPLATE" "$WINEPREFIX"
trap finish EXIT
trap 'exit 143' TERM INT HUP

# A scenario named for a small volume gets a 1 MB one of its own, reached from drive C: through the
# folder SmallVolume, as a volume mounted in a folder of the system drive is on Windows.
if [[ $scenario == *SmallVolume* ]]; then
    if [ "$(id -u)" -ne 0 ]; then
        export KELVORIN_SMALL_VOLUME_MISSING="mounting a volume needs root"
    else
        mkdir -p "$volume"
        mount -t tmpfs -o size=1m kelvorin-small-volume "$volume" || exit 1
        ln -s "$volume" "$WINEPREFIX/drive_c/SmallVolume"
        export KELVORIN_SMALL_VOLUME='C:\SmallVolume\'
    fi
fi

# The SmallScreen scenarios run on a display of their own, lower than the wizard's frame.
if [[ $scenario == SmallScreen.* ]]; then
    KELVORIN_SCREEN=640x200x24 wine_session_environment "$build" "e2e-prefixes/$scenario" own-display || exit 1
fi

wineserver -p >/dev/null 2>&1
export_driver_environment "$build"
# KELVORIN_E2E_OLDER_RELEASE names the folder of the release before, for the upgrade scenarios.
if [ -n "${KELVORIN_E2E_OLDER_RELEASE:-}" ]; then
    export KELVORIN_OLDER_RELEASE="Z:$(realpath "$KELVORIN_E2E_OLDER_RELEASE" | tr '/' '\\')"
fi
"$here/../../cmake/wine-run.sh" "$driver" "$@"
status=$?

# A scenario named for the restart runs again after one: this prefix's server stopped, and Wine makes
# the renames and deletions the installation left for the restart when the prefix starts again.
if [[ $scenario == *AtTheRestart* && $status -eq 0 ]]; then
    wineserver -k >/dev/null 2>&1
    wineserver -w
    "$here/../../cmake/wine-run.sh" cmd /c exit >/dev/null 2>&1
    wineserver -p >/dev/null 2>&1
    KELVORIN_AFTER_RESTART=1 "$here/../../cmake/wine-run.sh" "$driver" "$@"
    status=$?
fi
exit $status
