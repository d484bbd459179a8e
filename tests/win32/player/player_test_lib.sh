# Sourced by the player's test scripts, with $wine, $probe_exe and $platform set: the work
# folder, the processes to stop, the probe, and the stand-in platform service.
source "$(dirname "${BASH_SOURCE[0]}")/../../gui/gui_test_lib.sh"
work=$(mktemp -d)
pids=()
runtime_key='HKCU\Software\Microsoft\EdgeUpdate\ClientState\{F3017226-FE2A-4295-8BDF-00C3A9A7E4C5}'
# The prefix is shared with the other tests: it is left as it was found. A script puts back
# what else it changed in cleanup_more.
cleanup_more() { :; }
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done
    wait 2>/dev/null
    "$wine" reg delete "$runtime_key" /reg:32 /f >/dev/null 2>&1
    cleanup_more
    rm -rf "$work"
}
trap cleanup EXIT

probe() { "$wine" "$probe_exe" "$@" 2>/dev/null | tr -d '\r'; }

# The stand-in service on the profile's port, with these further options; $control is its
# control listener.
start_platform() {
    "$platform" --port 8443 --control-port 0 "$@" >"$work/platform.out" 2>"$work/platform.err" &
    pids+=($!)
    wait_for 15 grep -q '^ready' "$work/platform.out" || { cat "$work/platform.err"; exit 1; }
    control=$(sed -nE 's/^listening control ([^ ]+).*/\1/p' "$work/platform.out")
}
# The sample link of this name.
link_of() { sed -nE "s/^link $1 (kestrum:[^ ]+).*/\1/p" "$work/platform.out"; }
