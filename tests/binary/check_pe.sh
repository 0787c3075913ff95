#!/usr/bin/env bash
# Checks a shipped program's PE header: 32-bit GUI, ASLR and DEP, stripped, importing only DLLs that
# come with Windows (a MinGW runtime DLL would make the one file no longer the whole program), and
# from them only functions that Windows Vista, the oldest system the manifests name, already has.
set -u
objdump=i686-w64-mingw32-objdump
allowed=" kernel32.dll user32.dll gdi32.dll comctl32.dll advapi32.dll shell32.dll ole32.dll msvcrt.dll "
vista_imports="$(dirname "$0")/vista_imports.txt"
failed=0
for program in "$@"; do
    header=$("$objdump" -p "$program") || { echo "$program: not a PE file"; failed=1; continue; }
    fail() { echo "$program: $1"; failed=1; }
    grep -q '^Magic[[:space:]]*010b' <<<"$header" || fail "not PE32"
    grep -q 'file format pei-i386' <<<"$header" || fail "not i386"
    grep -q '^Subsystem[[:space:]]*00000002' <<<"$header" || fail "not the GUI subsystem"
    characteristics=$(awk '/^DllCharacteristics/ {print $2}' <<<"$header")
    (( 0x$characteristics & 0x40 )) || fail "no dynamic base (ASLR)"
    (( 0x$characteristics & 0x100 )) || fail "not NX compatible (DEP)"
    grep -q 'symbols stripped' <<<"$header" || fail "not stripped"
    while read -r dll; do
        lower=$(tr 'A-Z' 'a-z' <<<"$dll")
        [[ "$allowed" == *" $lower "* ]] || fail "imports $dll, which does not come with Windows"
    done < <(awk '/DLL Name:/ {print $3}' <<<"$header")
    # Each import as "dll function", from the lines that follow each DLL's name.
    imports=$(awk '/DLL Name:/ {dll = tolower($3); next} /^$/ {dll = ""} dll && /^\t[0-9a-f]+\t/ {print dll, $NF}' \
        <<<"$header" | sort -u)
    [ -n "$imports" ] || fail "no imports found"
    while read -r import; do
        fail "imports ${import#* } from ${import%% *}, which is not on the list of functions Windows Vista has"
    done < <(comm -23 <(echo "$imports") <(grep -v '^#' "$vista_imports" | sort -u))
    echo "$program: $(wc -l <<<"$imports") functions imported"
done
if [ $failed -eq 0 ]; then echo "PE checks passed for $# programs"; fi
exit $failed
