#!/usr/bin/env bash
# kestrum-tool probe against the stand-in services (run through with_platform.sh).
# Usage: probe_test.sh "<tool command>" (the command may start with an emulator)
set -u
tool=$1
failures=0
check() {  # name, expected exit code, actual exit code, expected text, actual output
    if [ "$2" == "$3" ] && grep -qF -- "$4" <<<"$5"; then
        echo "ok   $1"
    else
        echo "FAIL $1 (exit $3, expected $2; wanted \"$4\")"
        echo "$5" | sed 's/^/     /'
        failures=$((failures + 1))
    fi
}

out=$($tool probe https://localhost:8443/start 2>&1); code=$?
check "genuine service" 0 "$code" "status 200" "$out"
check "its leaf matches" 0 "$code" "matched issuer: Kestrum Stand-in Intermediate CA" "$out"

forged=${KESTRUM_FORGED_URL/127.0.0.1/localhost}
out=$($tool probe "$forged/start" 2>&1); code=$?
check "forged issuer under the platform's name" 1 "$code" "diagnostic code: SSL_localhost" "$out"
check "the forged leaf's signature is shown as broken" 1 "$code" "signature does not verify under the next" "$out"

out=$($tool probe https://localhost:8443/__test/status/404 2>&1); code=$?
check "error status" 1 "$code" "status 404" "$out"

out=$($tool probe http://127.0.0.1:1/ 2>&1); code=$?
check "nobody listening" 1 "$code" "WinHttpSendRequest failed: 12029" "$out"

echo "$failures failed"
[ "$failures" -eq 0 ]
