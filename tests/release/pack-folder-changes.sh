#!/usr/bin/env bash
# The tests' release build meets a maker's changes to its pack folder. A misspelt program dropped in
# after a good build fails the next build with a message naming it, and leaves neither that build's
# payload nor its installer behind; taken out again, the build recovers. A program overwritten by one
# of the same size with an older last-write time is still built in. Then the maker's own commands on
# the release's folder: 'make build' without PACK_DIR keeps its pack and version and builds the
# installer alone; a malformed VERSION fails at configure and leaves no installer; a pack folder whose
# path has a space builds; PACK_DIR=builtin goes back to the stand-ins and says so; a folder that does
# not exist fails at configure; 'make run' checks the installed programs against the pack folder. At the end the folder and the build are as they were, the signed installer byte for byte.
# Usage: pack-folder-changes.sh <source> <release folder>
set -u
source_dir=$1
release=$2
pack=$release/pack
build=$release/build
installer=$build/KelvorinAppPackSetup.exe
payload=$build/generated/payload.lzma
saved=$release/saved
# The release is signed, so its builds read the throwaway certificate's password.
source "$(dirname "$(realpath "$0")")/throwaway-certificates.sh"
rm -rf "$saved"
mkdir -p "$saved"
cp -p "$pack/Ostrel.exe" "$payload" "$installer" "$saved/"

output=
fail() {
    echo "FAILED: $1"
    printf '%s\n' "$output"
    exit 1
}
build_installer() {
    output=$(bash "$source_dir/cmake/build-targets.sh" "$build" KelvorinAppPackSetup 2>&1)
}
same_installer() { cmp -s "$installer" "$saved/KelvorinAppPackSetup.exe"; }
# As a maker types it: outside any make or display, with the release's folder as BUILD.
maker_make() {
    output=$(unset MAKEFLAGS MFLAGS MAKELEVEL PACK_DIR DISPLAY; make -C "$source_dir" "$@" BUILD="$build" 2>&1)
}

cp -p "$pack/Ostrel.exe" "$pack/Ostrell.exe"
build_installer && fail "the build with $pack/Ostrell.exe in the pack folder succeeded"
grep -qF "$pack/Ostrell.exe: not one of the pack's programs" <<<"$output" || fail "no message names Ostrell.exe"
[ -e "$installer" ] && fail "the refused build left the earlier installer"
[ -e "$payload" ] && fail "the refused build left the earlier payload"
rm "$pack/Ostrell.exe"

# Same size, and a time older than the payload: a build that went by file times alone would keep the old one.
printf 'X' | dd of="$pack/Ostrel.exe" bs=1 seek=$(($(stat -c %s "$pack/Ostrel.exe") - 1)) conv=notrunc status=none
touch -d '2001-01-01' "$pack/Ostrel.exe"
build_installer || fail "the build did not recover once Ostrell.exe was gone"
cmp -s "$payload" "$saved/payload.lzma" && fail "an older Ostrel.exe of the same size was not built in"
cp -p "$saved/Ostrel.exe" "$pack/Ostrel.exe"
build_installer || fail "the build with the first Ostrel.exe back failed"
same_installer || fail "the installer differs with the first Ostrel.exe back"

# The walk-through of an earlier run built the test driver here.
rm -f "$build/tests/"*.exe
maker_make build || fail "make build without PACK_DIR failed"
same_installer || fail "make build without PACK_DIR changed the release's installer"
compgen -G "$build/tests/*.exe" >/dev/null && fail "make build built test programs: $(ls "$build/tests/"*.exe)"
# The build keeps its version too (the installer above is the same); a malformed one is refused at
# configure, named with the rule, and takes the earlier installer with it.
maker_make build VERSION=24.2.0 && fail "make build with VERSION=24.2.0 succeeded"
grep -qF 'KELVORIN_VERSION "24.2.0" is not a version.' <<<"$output" && grep -qF "Give four numbers from 0 to" <<<"$output" ||
    fail "the refused version was not named with the rule"
[ -e "$installer" ] && fail "the refused version left the earlier installer"
maker_make build VERSION=24.2.0.0 DISPLAY_VERSION="24.2 test release" || fail "make build with the release's version failed"
same_installer || fail "the installer differs with the release's version given again"
ln -sfn pack "$release/the pack"
maker_make build PACK_DIR="$release/the pack" || fail "make build with a space in PACK_DIR failed"
same_installer || fail "the installer from \"$release/the pack\" differs"
maker_make build PACK_DIR=builtin || fail "make build PACK_DIR=builtin failed"
grep -qF "Pack: the built-in stand-ins, in place of the pack folder $release/the pack" <<<"$output" ||
    fail "going back to the built-in pack was not named"
same_installer && fail "PACK_DIR=builtin kept the pack folder's installer"
maker_make build PACK_DIR="$release/no such pack" && fail "make build with a missing pack folder succeeded"
grep -qF "KELVORIN_PACK_DIR names no folder:" <<<"$output" && sed 's/^ *//' <<<"$output" | grep -qxF "$release/no such pack" ||
    fail "the missing pack folder was not named at configure"
maker_make run PACK_DIR="$pack" || fail "make run of the release failed"
grep -q "^Release checked: 8 of 8 installed programs are byte for byte those of Z:.*with their last-write times to the 100 ns; the uninstaller is the build's own" <<<"$output" ||
    fail "the walk-through did not check the installed programs against the pack folder"
same_installer || fail "the installer differs with the first pack folder back"
rm -rf "$saved" "$release/the pack" "$build/wineprefix-run" "$build/screenshots"
echo "Refused Ostrell.exe, recovered, built in an older Ostrel.exe of the same size; make kept, switched and checked the pack"
