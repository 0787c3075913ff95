# Sourced by the test and run scripts: a virtual display, a fresh 64-bit Wine prefix under the build
# folder and one wineserver kept alive for the whole session, so that each program starts quickly.

wine_session_start() {  # $1: build folder, $2: prefix name, $3: "own-display" to ignore DISPLAY
    wine_session_environment "$1" "$2" "${3:-}" || return 1
    rm -rf "$WINEPREFIX"
    wineboot -i >/dev/null 2>&1 </dev/null
    # Wine draws the caption buttons with Marlett's symbols; from its own font folder it does not
    # find that font, and the buttons would show letters instead.
    cp /usr/share/wine/fonts/marlett.ttf "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
    # No window manager runs on the virtual display: Wine manages its windows and draws their captions
    # itself, and does not wait for a manager to acknowledge a hidden window.
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 </dev/null
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d N /f >/dev/null 2>&1 </dev/null
    # The server writes the registry out when it ends; after that the prefix on disk is complete.
    wineserver -w
    # One server for the whole session, so that each program starts quickly.
    wineserver -p >/dev/null 2>&1
}

# The same session on a prefix that an earlier one left, as it is.
wine_session_resume() {  # $1: build folder, $2: prefix name
    wine_session_environment "$1" "$2" || return 1
    [ -d "$WINEPREFIX" ] || { echo "No prefix $WINEPREFIX yet: run 'make run' first." >&2; return 1; }
    wineserver -p >/dev/null 2>&1
}

# The virtual display is 1024 x 768 unless KELVORIN_SCREEN gives another size, such as 640x200x24.
wine_session_environment() {  # $1: build folder, $2: prefix name, $3: "own-display" to ignore DISPLAY
    local build=$1 name=$2
    export WINEPREFIX="$build/$name" WINEARCH=win64 WINEDEBUG=-all
    export WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree=d;mshtml=d"
    if [ -z "${DISPLAY:-}" ] || [ "${3:-}" = own-display ]; then
        local fdfile
        fdfile=$(mktemp)
        Xvfb -displayfd 3 -screen 0 "${KELVORIN_SCREEN:-1024x768x24}" -nolisten tcp 3>"$fdfile" >/dev/null 2>&1 &
        WINE_SESSION_XVFB=$!
        for _ in $(seq 100); do [ -s "$fdfile" ] && break; sleep 0.1; done
        [ -s "$fdfile" ] || { echo "Xvfb did not start" >&2; return 1; }
        export DISPLAY=":$(head -n1 "$fdfile")"
        rm -f "$fdfile"
    fi
}

wine_session_stop() {
    wineserver -k >/dev/null 2>&1 || true
    if [ -n "${WINE_SESSION_XVFB:-}" ]; then
        kill "$WINE_SESSION_XVFB" 2>/dev/null || true
        wait "$WINE_SESSION_XVFB" 2>/dev/null || true
        WINE_SESSION_XVFB=
    fi
}

# What the end-to-end driver needs to find the installer and the pack it was built from, and whether
# it is signed. A release carries the license and the programs of the maker's pack folder; the
# uninstaller is always built.
export_driver_environment() {  # $1: build folder
    local build pack
    build=$(realpath "$1")
    windows_path() { printf 'Z:%s' "$(realpath "$1" | tr '/' '\\')"; }
    pack=$(sed -n 's/^KELVORIN_PACK_DIR:[A-Z]*=//p' "$build/CMakeCache.txt")
    export KELVORIN_INSTALLER=$(windows_path "$build/KelvorinAppPackSetup.exe")
    export KELVORIN_PACK_BODIES=$(windows_path "$build/pack-bodies")
    if [ -n "$pack" ]; then export KELVORIN_PACK_FOLDER=$(windows_path "$pack"); else unset KELVORIN_PACK_FOLDER; fi
    export KELVORIN_PAYLOAD_RESOURCE=$(windows_path "$build/generated/payload.lzma")
    if grep -q '^KELVORIN_SIGN_PFX:[A-Z]*=.' "$build/CMakeCache.txt"; then export KELVORIN_SIGNED=1; else unset KELVORIN_SIGNED; fi
    # The version the driven installer states, as its build defined it.
    export KELVORIN_STATED_VERSION=$(sed -n 's/^#define KELVORIN_VERSION_TEXT "\(.*\)"$/\1/p' "$build/generated/product_version.h")
    export KELVORIN_STATED_DISPLAY_VERSION=$(sed -n 's/^#define KELVORIN_DISPLAY_VERSION_TEXT "\(.*\)"$/\1/p' "$build/generated/product_version.h")
}
