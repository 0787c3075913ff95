#!/usr/bin/env bash
# Signs a program with Authenticode (SHA-256) by osslsigncode, with the maker's PKCS#12 file:
#   sign-program.sh -p PFX -T TIME_FILE [-t TIMESTAMP_URL] [-n DESCRIPTION] [-z SIZE] IN OUT
# Without a time-stamping authority the signing time is the one in TIME_FILE (see signing-time.sh).
# The password comes from KELVORIN_SIGN_PASSWORD only and reaches openssl through the environment and
# osslsigncode through a pipe, never through a command line or a file. IN and OUT may be the same file.
# With SIZE, zero bytes go in before the signature (bytes after it would break it), as many as leave
# the signed file exactly SIZE bytes. On any failure neither OUT nor a temporary file is left behind,
# so that the next build signs again.
set -u
pfx= time_file= timestamp_url= description= size=
while getopts p:T:t:n:z: option; do
    case $option in
        p) pfx=$OPTARG ;;
        T) time_file=$OPTARG ;;
        t) timestamp_url=$OPTARG ;;
        n) description=$OPTARG ;;
        z) size=$OPTARG ;;
        *) exit 2 ;;
    esac
done
shift $((OPTIND - 1))
in=$1
out=$2
name=$(basename "$out")
work=$(mktemp -d "$(dirname "$out")/.signing.XXXXXX")
# Also when interrupted: an unsigned program left under the signed one's name would look built.
trap 'status=$?; rm -rf "$work"; [ $status -eq 0 ] || rm -f "$out"' EXIT
trap 'exit 1' INT TERM HUP

fail() {
    echo "Signing $name failed: $1" >&2
    exit 1
}

[ "${KELVORIN_SIGN_PASSWORD+set}" = set ] ||
    fail "KELVORIN_SIGN_PASSWORD is not set; the password of $pfx is read from that environment variable only"
[ -r "$pfx" ] || fail "cannot read the certificate file $pfx"

# Windows refuses a signature whose certificate is not meant for code signing, so refuse it here first.
read_certificate() {  # PKCS#12 files of older tools need OpenSSL's legacy ciphers
    openssl pkcs12 -in "$pfx" -passin env:KELVORIN_SIGN_PASSWORD -nokeys -clcerts "$@" 2>"$work/error"
}
if ! certificate=$(read_certificate) &&
    ! { grep -qi unsupported "$work/error" && certificate=$(read_certificate -legacy); }; then
    if grep -qi 'mac verify\|invalid password' "$work/error"; then
        fail "wrong password: KELVORIN_SIGN_PASSWORD does not open $pfx"
    fi
    fail "$pfx is not a PKCS#12 file openssl can read: $(head -n1 "$work/error")"
fi
usage=$(openssl x509 -noout -ext extendedKeyUsage <<<"$certificate" 2>/dev/null)
grep -q 'Code Signing' <<<"$usage" ||
    fail "the certificate in $pfx is not meant for code signing: its Extended Key Usage lacks Code Signing (1.3.6.1.5.5.7.3.3)"

sign() {  # $1: unsigned file, $2: signed file
    local options=(-h sha256 -pkcs12 "$pfx")
    [ -z "$description" ] || options+=(-n "$description")
    if [ -n "$timestamp_url" ]; then options+=(-ts "$timestamp_url"); else options+=(-time "$(cat "$time_file")"); fi
    rm -f "$2"
    if ! osslsigncode sign "${options[@]}" -readpass <(printf '%s' "$KELVORIN_SIGN_PASSWORD") \
        -in "$1" -out "$2" >"$work/log" 2>&1; then
        if [ -n "$timestamp_url" ] && grep -qi 'timestamp\|HTTP failure\|curl' "$work/log"; then
            fail "the time-stamping authority $timestamp_url could not be reached or refused the request: $(grep -i 'failure\|failed' "$work/log" | head -n1)"
        fi
        fail "osslsigncode could not sign: $(grep -v '^Failed$' "$work/log" | head -n1)"
    fi
}

file_size() { stat -c %s "$1"; }

if [ -z "$size" ]; then
    sign "$in" "$work/signed"
else
    unsigned=$(file_size "$in")
    # The signature's size is measured by signing once; a time stamp's size can vary, so pad again
    # by what the last attempt missed until the signed file comes out exactly.
    sign "$in" "$work/signed"
    # osslsigncode first pads the program to a multiple of 8 bytes, then appends the signature.
    padded=$((size - ($(file_size "$work/signed") - (unsigned + 7) / 8 * 8)))
    for _ in 1 2 3 4; do
        [ "$padded" -ge "$unsigned" ] ||
            fail "the program is $unsigned bytes; with its signature it does not fit in $size bytes"
        cp "$in" "$work/padded"
        truncate -s "$padded" "$work/padded"
        sign "$work/padded" "$work/signed"
        signed=$(file_size "$work/signed")
        [ "$signed" -ne "$size" ] || break
        padded=$((padded - (signed - size)))
    done
    [ "$(file_size "$work/signed")" -eq "$size" ] || fail "could not make the signed file exactly $size bytes"
fi
chmod --reference="$in" "$work/signed"
mv -f "$work/signed" "$out" || fail "cannot write $out"
