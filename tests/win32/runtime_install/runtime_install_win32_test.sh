#!/usr/bin/env bash
# The runtime installation under Wine against this test's own HTTPS server on a port the
# system picks, with a root and a localhost certificate made here (RSA: Wine's certificate
# chains do not verify the stand-in service's EC signatures, and the download validates the
# chain as the system does). Runs in the Wine session of the cross build's tests
# (WINEPREFIX and DISPLAY set); further arguments go to the test program.
#   runtime_install_win32_test.sh <wine> <tests.exe> <registering.exe> <idle.exe> [args...]
set -u -o pipefail
wine=$1
tests=$2
registering=$3
idle=$4
work=$(mktemp -d)
server=
cleanup() {
    [ -n "$server" ] && kill "$server" 2>/dev/null && wait "$server" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

cd "$work" || exit 1
openssl req -x509 -newkey rsa:2048 -nodes -keyout ca.key -out ca.pem -days 2 \
    -subj '/CN=Kestrum Test Installer Root' -addext 'basicConstraints=critical,CA:TRUE' \
    -addext 'keyUsage=critical,keyCertSign,cRLSign' 2>/dev/null &&
    openssl req -newkey rsa:2048 -nodes -keyout leaf.key -out leaf.csr -subj '/CN=localhost' \
        2>/dev/null &&
    printf 'subjectAltName=DNS:localhost\nextendedKeyUsage=serverAuth\nbasicConstraints=CA:FALSE\n' \
        >leaf.ext &&
    openssl x509 -req -in leaf.csr -CA ca.pem -CAkey ca.key -CAcreateserial -days 2 \
        -extfile leaf.ext -out leaf.pem 2>/dev/null || { echo "cannot make the certificates"; exit 1; }
cd - >/dev/null || exit 1
python3 "$(dirname "$0")/installer_server.py" "$work/leaf.pem" "$work/leaf.key" \
    "$registering" "$idle" >"$work/server.out" 2>"$work/server.err" &
server=$!
for _ in $(seq 100); do
    grep -q '^port ' "$work/server.out" && break
    sleep 0.1
done
port=$(sed -n 's/^port //p' "$work/server.out")
[ -n "$port" ] || { echo "the installer server did not start"; cat "$work/server.err"; exit 1; }

KESTRUM_TEST_INSTALLER_BASE="https://localhost:$port" \
    KESTRUM_TEST_ROOT_PEM="$(cat "$work/ca.pem")" "$wine" "$tests" "${@:5}"
