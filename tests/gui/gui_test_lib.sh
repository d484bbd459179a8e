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
