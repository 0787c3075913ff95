#!/usr/bin/env bash
# The tests' release build meets a maker's changes to its pack folder. A misspelt program dropped in
# after a good build fails the next build with a message naming it, and leaves neither that build's
# payload nor its installer behind; taken out again, the build recovers. A program overwritten by one
# of the same size with an older last-write time is still built in. At the end the folder and the
# build are as they were, the signed installer byte for byte.
# Usage: pack-folder-changes.sh <release folder>
set -u
release=$1
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
    output=$(env -u MAKEFLAGS -u MFLAGS -u MAKELEVEL cmake --build "$build" --target KelvorinAppPackSetup 2>&1)
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
cmp -s "$installer" "$saved/KelvorinAppPackSetup.exe" || fail "the installer differs with the first Ostrel.exe back"
rm -rf "$saved"
echo "Refused Ostrell.exe, recovered, and built in an older Ostrel.exe of the same size"
