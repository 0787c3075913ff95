#!/usr/bin/env bash
# Signing a release, with throwaway certificates made in the release folder (throwaway-certificates.sh).
# Usage: signing_test.sh <source> <tests' build> <release folder> <step>, the step one of
#   build       the certificates and the signed build of the built-in pack, once per test run
#   signatures  osslsigncode accepts the installer and the uninstaller it carries, a time stamp is
#               checked as the README says, and the password is nowhere in the build; for either
#               signed release, that of the built-in pack or the one from the tests' pack folder
#               (test-release.sh)
#   refusals    each refusal fails the build and leaves no installer; the signing time follows the
#               source's, and signing again gives the same bytes
set -u
source=$(realpath "$1")
main=$(realpath "$2")
release=$3
step=$4
here=$(dirname "$(realpath "$0")")
certificates=$release/certificates
signed=$release/build
installer=$signed/KelvorinAppPackSetup.exe
uninstaller=$signed/pack-bodies/uninstall.exe
source "$here/throwaway-certificates.sh"
failed=0
fail() { echo "FAILED: $1"; failed=1; }

signed_build() {  # $1: the certificate, $2: the time-stamping authority or nothing
    bash "$here/release-build.sh" "$source" "$main" "$signed" -DKELVORIN_SIGN_PFX="$certificates/$1.pfx" \
        -DKELVORIN_SIGN_TIMESTAMP_URL="${2:-}"
}

expect_refusal() {  # $1: what is wrong, $2: the message, $3: the password, then signed_build's arguments
    local what=$1 message=$2 password=$3 output
    shift 3
    if output=$(export KELVORIN_SIGN_PASSWORD=$password; signed_build "$@" 2>&1); then
        fail "$what: the build succeeded"
    fi
    grep -qF "$message" <<<"$output" || fail "$what: the build did not say \"$message\"; it said: $(tail -n 5 <<<"$output")"
    [ ! -e "$installer" ] || fail "$what: an installer was left behind"
}

closed_port() {
    local port
    for port in 9 19 47 79 99; do
        (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null || { echo $port; return; }
    done
}

case $step in
build)
    mkdir -p "$release"
    make_certificates "$certificates" || exit 1
    signed_build codesign >"$release/build.log" 2>&1 || { cat "$release/build.log"; exit 1; }
    ;;
signatures)
    for file in "$installer" "$uninstaller"; do
        report=$(osslsigncode verify -CAfile "$certificates/root.pem" -in "$file" 2>&1) ||
            fail "$file: osslsigncode does not accept its signature: $(tail -n 3 <<<"$report")"
        grep -q 'Message digest algorithm *: SHA256' <<<"$report" || fail "$file: not signed with SHA-256"
        # The chain is what makes it valid: against the system's roots alone it is not.
        osslsigncode verify -in "$file" >/dev/null 2>&1 && fail "$file: accepted without its root"
    done
    # The README's check of a time stamp, on a copy stamped by a throwaway authority: checked at a time
    # after the certificate expires, the signature holds only through a time stamp that verifies.
    stamped=$release/stamped.exe
    osslsigncode add -TSA-certs "$certificates/timestamping.pem" -TSA-key "$certificates/timestamping.key" \
        -in "$installer" -out "$stamped" >/dev/null 2>&1 || fail "osslsigncode could not stamp a copy of $installer"
    check_time_stamp() {  # $1: the authority's root
        osslsigncode verify -CAfile "$certificates/root.pem" -TSA-CAfile "$1" -time 4102444800 -in "$stamped" >/dev/null 2>&1
    }
    check_time_stamp "$certificates/root.pem" || fail "the time-stamp check refuses a time stamp that verifies"
    check_time_stamp "$certificates/server.pem" && fail "the time-stamp check passes a time stamp that does not verify"
    rm -f "$stamped"
    grep -q "Taking the uninstaller as it is" "$release/build.log" &&
        fail "the build that signed the uninstaller said it took it as it is"
    grep -rqF "$KELVORIN_SIGN_PASSWORD" "$signed" "$release/build.log" &&
        fail "the password is written in the build tree or the build's output"
    # The built-in pack's uninstaller keeps its entry's size; a pack folder's release carries it unpadded.
    size=$(stat -c %s "$uninstaller")
    grep -q '^KELVORIN_PACK_DIR:[A-Z]*=.' "$signed/CMakeCache.txt" || [ "$size" -eq 79872 ] ||
        fail "the signed uninstaller is $size bytes, not its entry's 79872"
    ;;
refusals)
    cp "$installer" "$release/first-installer.exe"
    cp "$uninstaller" "$release/first-uninstaller.exe"
    # Refused while the uninstaller is signed, before the payload: the earlier build's installer, signed
    # with the code-signing certificate, must go as well, or it would pass for this build's.
    expect_refusal "certificate for servers" "is not meant for code signing" "$KELVORIN_SIGN_PASSWORD" server
    [ ! -e "$uninstaller" ] || fail "an uninstaller signed with a refused certificate was left behind"
    authority=http://127.0.0.1:$(closed_port)
    expect_refusal "unreachable time-stamping authority" "the time-stamping authority $authority could not be reached" \
        "$KELVORIN_SIGN_PASSWORD" codesign "$authority"
    # A new source time signs again, with that time; going back to the commit's gives the first bytes.
    (export SOURCE_DATE_EPOCH=1700000000; signed_build codesign >/dev/null) || fail "signing with a new source time failed"
    osslsigncode verify -CAfile "$certificates/root.pem" -in "$installer" | grep -q 'Signing time: Nov 14 22:13:20 2023' ||
        fail "the installer was not signed again with the new source time"
    signed_build codesign >/dev/null || fail "signing again after the refusals failed"
    cmp "$release/first-installer.exe" "$installer" || fail "the installer signed twice differs"
    cmp "$release/first-uninstaller.exe" "$uninstaller" || fail "the uninstaller signed twice differs"
    # The installer alone is made again, so the wrong password meets its signing after the link.
    rm -f "$installer"
    expect_refusal "wrong password" "wrong password: KELVORIN_SIGN_PASSWORD does not open" wrong codesign
    ;;
esac
[ $failed -eq 0 ] && echo "passed: $step"
exit $failed
