#!/usr/bin/env bash
# The Windows printer list against real CUPS queues: Wine's spooler reads the printers of
# the scheduler that CUPS_SERVER names, so a private one with known queues gives a list
# whose order and default the test program can check.
#   with_private_cupsd.sh EMULATOR TEST_PROGRAM
set -euo pipefail
[ $# -eq 2 ] || { echo "usage: $0 EMULATOR TEST_PROGRAM" >&2; exit 2; }
emulator=$1 program=$2
cupsd_script=$(cd "$(dirname "$0")/../../scripts" && pwd)/private-cupsd.sh

# Short: the scheduler's socket path must fit a Unix socket address.
dir=$(mktemp -d /tmp/kestrum-cups.XXXXXX)
cleanup() {
    "$cupsd_script" stop "$dir" || true
    rm -rf "$dir"
}
trap cleanup EXIT

server=$("$cupsd_script" start "$dir")
export "${server?}"
# The default is neither first nor last by name, and "Zeta" before "alpha" holds only when
# names are compared by code unit, not by letter.
"$cupsd_script" add "$dir" alpha
"$cupsd_script" add "$dir" office default
"$cupsd_script" add "$dir" Zeta

# The queues must really print, or the printing tests that share this scheduler would pass
# on nothing.
echo "kestrum test page" | lp -d office >/dev/null
for _ in $(seq 50); do
    grep -q "kestrum test page" "$dir/out/office" 2>/dev/null && break
    sleep 0.1
done
grep -q "kestrum test page" "$dir/out/office" || {
    echo "FAIL: a job to the private scheduler did not reach $dir/out/office" >&2
    exit 1
}

output=$(KESTRUM_EXPECTED_PRINTERS=office,Zeta,alpha \
    "$emulator" "$program" --gtest_filter='PrinterEnumWin32Cups.*' 2>&1) || {
    echo "$output"
    exit 1
}
echo "$output"
# A skipped case would pass as well: insist that it ran.
if grep -q "SKIPPED" <<<"$output" || ! grep -q "PASSED  \] 1 test" <<<"$output"; then
    echo "FAIL: the printer case did not run" >&2
    exit 1
fi
