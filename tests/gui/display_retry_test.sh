#!/usr/bin/env bash
# A display that is not there at the first attempt: the player's programs try it again for
# about two seconds before they give up, so that a display server slow to take a connection
# does not cost the learner the diagnostic dialog or the start. Starts its own display server.
#   display_retry_test.sh <kestrum> <kestrum-diagnostic>
set -u
player=$1
dialog=$2
work=$(mktemp -d)
source "$(dirname "$0")/gui_test_lib.sh"
private_home
server=
running=
cleanup() {
    [ -n "$running" ] && kill "$running" 2>/dev/null && wait "$running" 2>/dev/null
    [ -n "$server" ] && kill "$server" 2>/dev/null && wait "$server" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

# A display number no server on this machine has (the lock and socket files are shared by all
# network namespaces).
free_display() {
    local number
    for _ in $(seq 200); do
        number=$((300 + RANDOM % 700))
        [ -e "/tmp/.X$number-lock" ] || [ -e "/tmp/.X11-unix/X$number" ] || {
            echo "$number"
            return 0
        }
    done
    return 1
}

# 1. The dialog starts before its display server: it shows once the server is there.
number=$(free_display) || {
    echo "no free display number"
    exit 1
}
DISPLAY=:$number "$dialog" --title "Retry $number" --english E --arabic A --code RETRY \
    >"$work/dialog.out" 2>&1 &
running=$!
sleep 0.2
Xvfb ":$number" -screen 0 1024x768x24 -nolisten tcp >"$work/server.out" 2>&1 &
server=$!
shown() { xwininfo -display ":$number" -root -tree 2>/dev/null | grep -qF "\"Retry $number\""; }
if wait_for 30 shown; then
    ok "the dialog shows on a display that came a moment after it"
else
    fail "no dialog on the late display"
    sed 's/^/     | /' "$work/dialog.out" "$work/server.out"
fi
kill "$running" 2>/dev/null
wait "$running" 2>/dev/null
running=
kill "$server" 2>/dev/null
wait "$server" 2>/dev/null
server=

# The player started on a link with the given changes to its environment; sets $code and
# $elapsed_ms.
run_player() {  # output file, env arguments...
    local output=$1 start
    shift
    start=$(date +%s%N)
    env "$@" timeout 60 "$player" "kestrum:a:b" >"$output" 2>&1
    code=$?
    elapsed_ms=$((($(date +%s%N) - start) / 1000000))
}

# 2. A display that never comes: the player says so, after its attempts, and ends with 1.
number=$(free_display)
run_player "$work/player.out" DISPLAY=":$number"
check "no display: exit code 1 (got $code)" [ "$code" -eq 1 ]
check "no display: the player names it" \
    grep -qF "kestrum: cannot open a display (DISPLAY is ':$number')" "$work/player.out"
check "no display: tried again before giving up (${elapsed_ms} ms)" [ "$elapsed_ms" -ge 1500 ]

# 3. No display named at all: nothing to wait for.
run_player "$work/none.out" -u DISPLAY -u WAYLAND_DISPLAY
check "none named: exit code 1 (got $code)" [ "$code" -eq 1 ]
check "none named: the player says DISPLAY is not set" \
    grep -qF "kestrum: cannot open a display (DISPLAY is not set)" "$work/none.out"
check "none named: no waiting (${elapsed_ms} ms)" [ "$elapsed_ms" -lt 1500 ]

echo "$failures failed"
[ "$failures" -eq 0 ]
