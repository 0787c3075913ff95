#!/usr/bin/env bash
# The tests' release: a pack folder of their own making, built into an installer signed with a
# throwaway code-signing certificate once per test run, and reused by every test that needs it; and the
# release before it, to be upgraded from and refused as a downgrade.
# Usage: test-release.sh <source> <tests' build> <release folder>
set -euo pipefail
source=$(realpath "$1")
main=$(realpath "$2")
release=$3
pack=$release/pack
here=$(dirname "$(realpath "$0")")
source "$here/throwaway-certificates.sh"

# The project's stand-in programs, each grown to a size of its own by bytes after its last section
# (carried, never loaded), with a time of its own to the nanosecond, one before 1970 and one after 2038.
rm -rf "$pack"
mkdir -p "$pack"
printf 'Test pack license.\r\nCarried byte for byte from the pack folder that the test run made.' >"$pack/license.txt"
names=(Ostrel Glimmerdox Tindlevault Blorra Humbrewave Jottervale Cryvane Pebbrack)
times=(@1700000000.123456789 @-14182940.987654321 @1709214312.000000099 @4102444800.5
       @1262304000 @1600000000.999999999 @1234567890.1234567 @1000000000.0000001)
for n in "${!names[@]}"; do
    name=${names[$n]}
    # Windows finds a program by its name whatever its case; so must the build.
    file=$pack/$name.exe
    [ "$name" = Pebbrack ] && file=$pack/PEBBRACK.exe
    cp "$main/pack-programs/$name.exe" "$file"
    head -c $((n * 40009 + 777)) < <(yes "$name padding $n") >>"$file"
    touch -d "${times[$n]}" "$file"
done

# The release before it, 24.1.0.0: the same programs with other bytes (another padding) and older times,
# built first in the same folder and kept in older/ for the upgrade scenarios.
older=$release/older
rm -rf "$older"
mkdir -p "$older/pack"
cp "$pack/license.txt" "$older/pack/"
for n in "${!names[@]}"; do
    name=${names[$n]}
    cp "$main/pack-programs/$name.exe" "$older/pack/$name.exe"
    head -c $((n * 3001 + 99)) < <(yes "$name of the release before") >>"$older/pack/$name.exe"
    touch -d "@$((1500000000 + n * 86400)).5" "$older/pack/$name.exe"
done

make_certificates "$release/certificates"
release_build() {  # $1: the pack folder, $2: the version, $3: the text shown for it
    bash "$here/release-build.sh" "$source" "$main" "$release/build" "-DKELVORIN_PACK_DIR=$1" \
        "-DKELVORIN_VERSION=$2" "-DKELVORIN_DISPLAY_VERSION=$3" \
        "-DKELVORIN_SIGN_PFX=$release/certificates/codesign.pfx" >"$release/build.log" 2>&1 ||
        { cat "$release/build.log"; exit 1; }
}
release_build "$older/pack" 24.1.0.0 ""
cp "$release/build/KelvorinAppPackSetup.exe" "$older/"
release_build "$pack" 24.2.0.0 "24.2 test release"
