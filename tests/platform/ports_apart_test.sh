#!/usr/bin/env bash
# Test runs on one machine cannot hear each other:
#   - a second stand-in on a taken port (platform or control listener) refuses to start, with a
#     message that says so, instead of sharing the port's connections with the first;
#   - two runs through tests/isolated.sh each start a stand-in on the profile's port 8443 at
#     the same time, and each one's requests reach its own service only.
#   ports_apart_test.sh <kestrum-platform> <tests/isolated.sh>
set -u
platform=$1
isolated=$2
work=$(mktemp -d)
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done
    for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null; done
    rm -rf "$work"
}
trap cleanup EXIT
source "$(dirname "$0")/../gui/gui_test_lib.sh"

start() {  # name, options; waits for "ready"
    local name=$1
    shift
    "$platform" "$@" >"$work/$name.out" 2>"$work/$name.err" &
    pids+=($!)
    wait_for 10 grep -q '^ready' "$work/$name.out"
}
port_of() { sed -nE "s|^listening $2 https?://[0-9.]+:([0-9]+).*|\1|p" "$work/$1.out"; }

# --- A taken port is refused ---------------------------------------------------------------
start first --port 0 --control-port 0 || {
    echo "FAIL the first stand-in did not start: $(cat "$work/first.err")"
    exit 1
}
port=$(port_of first platform)
control=$(port_of first control)
for taken in "--port $port" "--port 0 --control-port $control"; do
    # shellcheck disable=SC2086
    timeout 10 "$platform" $taken >"$work/second.out" 2>"$work/second.err"
    code=$?
    check "$taken: a second stand-in exits with an error (code $code)" \
        [ "$code" -ne 0 -a "$code" -ne 124 ]
    check "$taken: and says the port is in use" \
        grep -q "port [0-9]* on 127.0.0.1 is already in use" "$work/second.err"
    check "$taken: it never reported ready" sh -c "! grep -q '^ready' '$work/second.out'"
done
check "the first stand-in still answers on its port" \
    curl -sfk -o /dev/null "https://127.0.0.1:$port/"

# --- Two isolated runs on the same fixed port ------------------------------------------------
# Each run starts a stand-in on 8443, sends requests tagged with its name for a while, and then
# reads its own service's log: it must hold its own requests and nothing of the other run.
cat >"$work/run.sh" <<'RUN'
set -u
platform=$1 name=$2 out=$3
echo "${KESTRUM_ISOLATION:-none}" >"$out.how"
"$platform" --port 8443 --control-port 0 >"$out.service" 2>&1 &
service=$!
trap 'kill $service 2>/dev/null; wait $service 2>/dev/null' EXIT
for _ in $(seq 100); do grep -q '^ready' "$out.service" && break; sleep 0.1; done
grep -q '^ready' "$out.service" || { echo "no stand-in: $(cat "$out.service")" >"$out"; exit 1; }
control=$(sed -nE 's/^listening control ([^ ]+).*/\1/p' "$out.service")
for i in $(seq 20); do
    curl -sk -o /dev/null "https://127.0.0.1:8443/__test/status/204?from=$name&i=$i"
    sleep 0.05
done
curl -s "$control/__log" >"$out"
RUN
for name in north south; do
    bash "$isolated" bash "$work/run.sh" "$platform" "$name" "$work/$name.log" \
        >"$work/$name.run" 2>&1 &
    pids+=($!)
done
for name in north south; do
    wait "${pids[-1]}" 2>/dev/null
    unset 'pids[-1]'
done
for name in north south; do
    other=$([ "$name" = north ] && echo south || echo north)
    check "$name: its stand-in on 8443 started (apart by: $(cat "$work/$name.log.how" 2>/dev/null))" \
        grep -q '"listener"' "$work/$name.log"
    check "$name: it saw its 20 requests" \
        [ "$(grep -o "\"target\":\"[^\"]*from=$name" "$work/$name.log" | wc -l)" -eq 20 ]
    check "$name: and none of the other run's" sh -c "! grep -q 'from=$other' '$work/$name.log'"
done
[ "$failures" -eq 0 ] || for name in north south; do
    echo "--- $name:"
    cat "$work/$name.run" "$work/$name.log.service" 2>/dev/null | tail -5
done

echo "$failures failed"
[ "$failures" -eq 0 ]
