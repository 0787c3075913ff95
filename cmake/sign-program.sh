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
[ $# -eq 2 ] && [ -n "$pfx" ] && [ -n "$time_file" ] || { echo "usage: $0 -p PFX -T TIME_FILE ... IN OUT" >&2; exit 2; }
in=$1
out=$2
name=$(basename "$out")
work=
# Also when interrupted: an unsigned program left under the signed one's name would look built.
trap 'status=$?; [ -z "$work" ] || rm -rf "$work"; [ $status -eq 0 ] || rm -f "$out"' EXIT
trap 'exit 1' INT TERM HUP

fail() {
    echo "Signing $name failed: $1" >&2
    exit 1
}

work=$(mktemp -d "$(dirname "$out")/.signing.XXXXXX") || fail "cannot make a folder for the work beside $out"

[ "${KELVORIN_SIGN_PASSWORD+set}" = set ] ||
    fail "KELVORIN_SIGN_PASSWORD is not set; the password of $pfx is read from that environment variable only"
[ -r "$pfx" ] || fail "cannot read the certificate file $pfx"
[ -z "$size" ] || [[ $size =~ ^[0-9]+$ ]] || fail "the size $size is not a number of bytes"
[ -n "$timestamp_url" ] || signing_time=$(cat "$time_file") || fail "cannot read the signing time from $time_file"

# Judged by exit status and by what the certificate holds, not by any tool's message texts, which change
# between versions. A PKCS#12 file is DER; one that parses as DER but does not open is the password's fault.
openssl asn1parse -inform DER -in "$pfx" >/dev/null 2>&1 || fail "$pfx is not a PKCS#12 file"
read_certificate() {  # PKCS#12 files of older tools need OpenSSL's legacy ciphers
    openssl pkcs12 -in "$pfx" -passin env:KELVORIN_SIGN_PASSWORD -nokeys -clcerts "$@" 2>/dev/null
}
certificate=$(read_certificate) || certificate=$(read_certificate -legacy) ||
    fail "wrong password: KELVORIN_SIGN_PASSWORD does not open $pfx"
# Windows refuses a signature whose certificate is not meant for code signing, so refuse it here first.
usage=$(openssl x509 -noout -ext extendedKeyUsage <<<"$certificate" 2>/dev/null) ||
    fail "cannot read the certificate in $pfx"
grep -q 'Code Signing' <<<"$usage" ||
    fail "the certificate in $pfx is not meant for code signing: its Extended Key Usage lacks Code Signing (1.3.6.1.5.5.7.3.3)"

osslsigncode_sign() {  # $1: unsigned file, $2: signed file, then the time options
    local in=$1 out=$2
    shift 2
    local options=(-h sha256 -pkcs12 "$pfx" "$@")
    [ -z "$description" ] || options+=(-n "$description")
    rm -f "$out" &&
        osslsigncode sign "${options[@]}" -readpass <(printf '%s' "$KELVORIN_SIGN_PASSWORD") \
            -in "$in" -out "$out" >"$work/log" 2>&1 && [ -s "$out" ]
}

sign() {  # $1: unsigned file, $2: signed file
    if [ -z "$timestamp_url" ]; then
        osslsigncode_sign "$1" "$2" -time "$signing_time" && return
    else
        osslsigncode_sign "$1" "$2" -ts "$timestamp_url" && return
        # Signed without the authority, a success puts the fault on the authority.
        cp "$work/log" "$work/log.stamped" || fail "cannot keep osslsigncode's output"
        if osslsigncode_sign "$1" "$work/unstamped" -time 0; then
            fail "the time-stamping authority $timestamp_url could not be reached or refused the request; osslsigncode said: $(tail -n 3 "$work/log.stamped" | tr '\n' ' ')"
        fi
    fi
    fail "osslsigncode could not sign; it said: $(tail -n 3 "$work/log" | tr '\n' ' ')"
}

file_size() { stat -c %s "$1" || fail "cannot read the size of $1"; }

if [ -z "$size" ]; then
    sign "$in" "$work/signed"
else
    unsigned=$(file_size "$in") || exit 1
    # The signature's size is measured by signing once; a time stamp's size can vary, so pad again
    # by what the last attempt missed until the signed file comes out exactly.
    sign "$in" "$work/signed"
    signed=$(file_size "$work/signed") || exit 1
    # osslsigncode first pads the program to a multiple of 8 bytes, then appends the signature.
    padded=$((size - (signed - (unsigned + 7) / 8 * 8)))
    for _ in 1 2 3 4; do
        [ "$padded" -ge "$unsigned" ] ||
            fail "the program is $unsigned bytes; with its signature it does not fit in $size bytes"
        cp "$in" "$work/padded" && truncate -s "$padded" "$work/padded" || fail "cannot pad $in to $padded bytes"
        sign "$work/padded" "$work/signed"
        signed=$(file_size "$work/signed") || exit 1
        [ "$signed" -ne "$size" ] || break
        padded=$((padded - (signed - size)))
    done
    [ "$signed" -eq "$size" ] || fail "could not make the signed file exactly $size bytes"
fi
chmod --reference="$in" "$work/signed" || fail "cannot give the signed file the mode of $in"
mv -f "$work/signed" "$out" || fail "cannot write $out"
