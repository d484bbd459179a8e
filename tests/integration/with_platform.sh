#!/usr/bin/env bash
# Runs a test program against two stand-in platform services on loopback:
#   - the platform on the profile's port (8443), with a wrong-key attacker on 127.0.0.2 and
#     a listener of hostile answers under the genuine chain;
#   - a second one whose attacker listens on 127.0.0.1 with a forged-issuer chain.
# Their addresses reach the test through KESTRUM_* environment variables.
#   with_platform.sh <kestrum-platform> <test program> [arguments...]
set -u
platform=$1
shift
work=$(mktemp -d)
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done
    for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null; done
    rm -rf "$work"
}
trap cleanup EXIT

start() {  # name, then the service's options
    local name=$1
    shift
    "$platform" "$@" >"$work/$name.out" 2>"$work/$name.err" &
    pids+=($!)
    for _ in $(seq 1 100); do
        grep -q '^ready' "$work/$name.out" 2>/dev/null && return 0
        kill -0 "${pids[-1]}" 2>/dev/null || break
        sleep 0.1
    done
    echo "the stand-in service ($name) did not start:" >&2
    cat "$work/$name.err" >&2
    exit 1
}
address() {  # name, listener
    sed -nE "s/^listening $2 ([^ ]+).*/\1/p" "$work/$1.out"
}

start main --port 8443 --control-port 0 --attacker-port 0 --attacker-address 127.0.0.2 \
    --attacker-chain wrong-key --version-answer optional --slow-path /__test/slow=20 \
    --hostile-port 0 --hostile-lifetime 8
start forged --port 0 --control-port 0 --attacker-port 0 --attacker-address 127.0.0.1 \
    --attacker-chain forged-issuer

export KESTRUM_CONTROL_URL=$(address main control)
export KESTRUM_ATTACKER_URL=$(address main attacker)
export KESTRUM_FORGED_URL=$(address forged attacker)
export KESTRUM_FORGED_CONTROL_URL=$(address forged control)
export KESTRUM_HOSTILE_URL=$(address main hostile)
"$@"
