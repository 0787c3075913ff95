#!/usr/bin/env bash
# The tests' release: a pack folder of their own making, built into an installer signed with a
# throwaway code-signing certificate once per test run, and reused by every test that needs it.
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

make_certificates "$release/certificates"
bash "$here/release-build.sh" "$source" "$main" "$release/build" "-DKELVORIN_PACK_DIR=$pack" \
    "-DKELVORIN_SIGN_PFX=$release/certificates/codesign.pfx" >"$release/build.log" 2>&1 ||
    { cat "$release/build.log"; exit 1; }
