# Helpers of the GUI test scripts (sourced). Each script counts its failures in $failures.
failures=0
ok() { echo "ok   $1"; }
fail() { echo "FAIL $1"; failures=$((failures + 1)); }
check() {  # description, command...
    local what=$1
    shift
    if "$@"; then ok "$what"; else fail "$what"; fi
}
wait_for() {  # seconds, command...
    local limit=$1
    shift
    for _ in $(seq 1 $((limit * 10))); do
        "$@" >/dev/null 2>&1 && return 0
        sleep 0.1
    done
    return 1
}
# Diagnostic dialogs started by this test's players (they run in sessions of their own):
# found by the HOME they inherited, so that nothing else on the machine is touched.
our_dialogs() {
    for pid in $(pgrep -f kestrum-diagnostic); do
        tr '\0' '\n' <"/proc/$pid/environ" 2>/dev/null | grep -qx "HOME=$HOME" && echo "$pid"
    done
}
stop_dialogs() { kill $(our_dialogs) 2>/dev/null; }
has_dialog() { [ -n "$(our_dialogs)" ]; }
# A home of the test's own below $work, so that the player's profile and registrations stay
# inside the test.
private_home() {
    export HOME=$work/home XDG_RUNTIME_DIR=$work/run XDG_DATA_HOME= XDG_CONFIG_HOME= NO_AT_BRIDGE=1
    mkdir -p "$HOME" "$XDG_RUNTIME_DIR"
    chmod 700 "$XDG_RUNTIME_DIR"
}
# The stand-in platform service ($platform) with the given options, its output in
# $work/service.out and .err. Sets $service and $control; ends the script when the stand-in
# is not ready within 10 seconds, by the clock (a busy machine starts it slowly).
service=
start_standin() {
    "$platform" "$@" >"$work/service.out" 2>"$work/service.err" &
    service=$!
    local deadline=$((SECONDS + 10))
    until grep -q '^ready' "$work/service.out" 2>/dev/null; do
        if [ "$SECONDS" -ge "$deadline" ] || ! kill -0 "$service" 2>/dev/null; then
            echo "the stand-in service did not start:"
            cat "$work/service.err"
            exit 1
        fi
        sleep 0.1
    done
    control=$(standin_listening control)
}
stop_standin() { [ -n "$service" ] && kill "$service" 2>/dev/null && wait "$service" 2>/dev/null; }
standin_listening() { sed -nE "s/^listening $1 ([^ ]+).*/\1/p" "$work/service.out"; }  # which
catalogue_link() { sed -nE "s/^link $1 (kestrum:.*)/\1/p" "$work/service.out"; }          # name
