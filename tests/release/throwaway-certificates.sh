# Sourced by the tests' release scripts: the password of the throwaway PKCS#12 files, and how they are
# made at test time, for each release in a folder of its own: a root, a code-signing certificate it
# issued, one it issued for servers only, which Windows would refuse for code, and one for a
# time-stamping authority, which osslsigncode can act as itself.
export KELVORIN_SIGN_PASSWORD=throwaway-password

make_certificates() {  # $1: the folder, made afresh; openssl's output is shown only when it fails
    rm -rf "$1"
    mkdir -p "$1"
    if ! (
        cd "$1" || exit 1
        printf '%s\n' '[codesign]' 'keyUsage=critical,digitalSignature' 'extendedKeyUsage=codeSigning' \
            '[server]' 'keyUsage=critical,digitalSignature' 'extendedKeyUsage=serverAuth' \
            '[timestamping]' 'keyUsage=critical,digitalSignature' 'extendedKeyUsage=critical,timeStamping' >purposes.cnf
        openssl req -x509 -newkey rsa:2048 -nodes -keyout root.key -out root.pem -days 2 \
            -subj "/CN=Kelvorin Throwaway Test Root" || exit 1
        serial=1
        for purpose in codesign server timestamping; do
            serial=$((serial + 1))
            openssl req -newkey rsa:2048 -nodes -keyout $purpose.key -out $purpose.csr -subj "/CN=Kelvorin Test $purpose" &&
                openssl x509 -req -in $purpose.csr -CA root.pem -CAkey root.key -set_serial $serial -days 2 \
                    -extfile purposes.cnf -extensions $purpose -out $purpose.pem &&
                openssl pkcs12 -export -inkey $purpose.key -in $purpose.pem -certfile root.pem \
                    -passout env:KELVORIN_SIGN_PASSWORD -out $purpose.pfx || exit 1
        done
        rm -f root.key codesign.key server.key ./*.csr
    ) >"$1/openssl.log" 2>&1; then
        cat "$1/openssl.log"
        return 1
    fi
}
