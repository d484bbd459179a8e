#!/usr/bin/env bash
# The fatal error path under a virtual display: countdown, clipboard, diagnostic dialog, exit
# code 0; from the interface thread, from other threads, with the window closed early and with
# the interface thread stalled.
#   fatal_error_path_test.sh PROBE DIAGNOSTIC_PROGRAM SCREENSHOT_DIR
set -uo pipefail

if [ -z "${KESTRUM_IN_XVFB:-}" ]; then
    export KESTRUM_IN_XVFB=1 NO_AT_BRIDGE=1 WEBKIT_DISABLE_COMPOSITING_MODE=1
    exec timeout 220 xvfb-run -a -s "-screen 0 1280x800x24 -nolisten tcp" bash "$0" "$@"
fi

# The player finds the dialog program beside itself: both go into a folder of their own.
work=$(mktemp -d)
cp "$1" "$work/probe"
cp "$2" "$work/kestrum-diagnostic"
probe="$work/probe"
shots=$3
mkdir -p "$shots"
failures=0
dialog_pids=()

fail() { echo "FAILED: $*"; failures=$((failures + 1)); }
ok() { echo "ok: $*"; }
cleanup() {
    for pid in "${dialog_pids[@]}"; do kill "$pid" 2>/dev/null; done
    rm -rf "$work"
}
trap cleanup EXIT

# Prints the id of the first top-level window named $1 with size $2, if any.
window_id() { xwininfo -root -tree | awk -v name="\"$1\":" -v size="$2" \
    'index($0, name) && index($0, " " size "+") { print $1; exit }'; }

wait_window() {  # name size seconds
    local end=$((SECONDS + $3)) id
    while [ $SECONDS -lt $end ]; do
        id=$(window_id "$1" "$2")
        [ -n "$id" ] && { echo "$id"; return 0; }
        sleep 0.2
    done
    return 1
}

clipboard() { timeout 10 "$probe" clipboard 2>/dev/null; }

# The dialog of the finished run: 700x580 and titled as the error; remembered to be closed.
check_dialog() {  # label code output-file
    local id pid
    # A busy machine (two web engines starting beside this one) has taken over 15 s.
    if ! id=$(wait_window "Link Error - خطأ في الرابط" 700x580 30); then
        fail "$1: no 700x580 diagnostic dialog"
        echo "     windows on the display:"
        xdotool search --onlyvisible --name '.' 2>/dev/null | while read -r w; do
            echo "     | $(xdotool getwindowname "$w") $(xdotool getwindowgeometry "$w" | sed -n 3p)"
        done
        echo "     dialog programs running:"
        pgrep -af kestrum-diagnostic | sed 's/^/     | /'
        # The dialog writes to the standard error it inherited from the player.
        echo "     the player's and the dialog's standard error:"
        sed 's/^/     | /' "$3"
        return 1
    fi
    pid=$(xprop -id "$id" _NET_WM_PID | awk '{print $3}')
    [ -n "$pid" ] && dialog_pids+=("$pid")
    ok "$1: diagnostic dialog $id (pid $pid) is 700x580"
    sleep 1
    local text
    text=$(clipboard)
    [ "$text" = "$2" ] && ok "$1: dialog holds the code on the clipboard" ||
        fail "$1: clipboard holds '$text' after the player ended, not '$2'"
}

close_dialogs() {
    for pid in "${dialog_pids[@]}"; do kill "$pid" 2>/dev/null; done
    dialog_pids=()
    sleep 0.5
}

# 1. From the interface thread: the full ten seconds, a screenshot of each window.
code="AAEC+/8=MAIN$RANDOM"
start=$SECONDS
PROBE_CODE=$code timeout 60 "$probe" present main 2>"$work/main.err" &
player=$!
if id=$(wait_window "Security Alert" 700x600 5); then
    ok "main: countdown window $id is 700x600"
    geometry=$(xwininfo -id "$id" | awk '/Absolute upper-left/ {print $4}' | paste -sd,)
    [ "$geometry" = "290,100" ] && ok "main: countdown centred" || fail "main: countdown at $geometry"
else
    fail "main: no countdown window"
fi
sleep 2
"$probe" screenshot "$shots/countdown.png" || fail "main: screenshot"
text=$(clipboard)
[ "$text" = "$code" ] && ok "main: code on the clipboard during the countdown" ||
    fail "main: clipboard holds '$text' during the countdown"
wait $player
rc=$?
elapsed=$((SECONDS - start))
[ $rc -eq 0 ] && ok "main: exit code 0" || fail "main: exit code $rc"
[ $elapsed -ge 9 ] && [ $elapsed -le 14 ] && ok "main: ended after ${elapsed}s" ||
    fail "main: ended after ${elapsed}s, not about ten"
[ "$(grep -c 'SHUTDOWN HOOK RAN' "$work/main.err")" = 1 ] && ok "main: hook ran once" ||
    fail "main: hook runs: $(grep -c 'SHUTDOWN HOOK RAN' "$work/main.err")"
if check_dialog main "$code" "$work/main.err"; then
    sleep 1
    "$probe" screenshot "$shots/dialog.png" || fail "main: dialog screenshot"
fi
close_dialogs

# 2. Two other threads fail at once: one countdown, one hook run, one dialog.
code="THREAD$RANDOM"
start=$SECONDS
PROBE_CODE=$code timeout 60 "$probe" present thread 2>"$work/thread.err" &
player=$!
wait_window "Security Alert" 700x600 5 >/dev/null && ok "thread: countdown shown" ||
    fail "thread: no countdown window"
wait $player
rc=$?
elapsed=$((SECONDS - start))
[ $rc -eq 0 ] && ok "thread: exit code 0" || fail "thread: exit code $rc"
[ $elapsed -ge 9 ] && ok "thread: ended after ${elapsed}s" || fail "thread: ended after ${elapsed}s"
[ "$(grep -c 'SHUTDOWN HOOK RAN' "$work/thread.err")" = 1 ] && ok "thread: hook ran once" ||
    fail "thread: hook runs: $(grep -c 'SHUTDOWN HOOK RAN' "$work/thread.err")"
check_dialog thread "$code" "$work/thread.err"
sleep 1
count=$(xwininfo -root -tree | grep -c '700x580+')
[ "$count" = 1 ] && ok "thread: one dialog" || fail "thread: $count dialogs"
close_dialogs

# 3. The countdown window closed early: the rest is skipped, the dialog still comes.
code="EARLY$RANDOM"
start=$SECONDS
PROBE_CODE=$code timeout 60 "$probe" present close-early 2>"$work/early.err"
rc=$?
elapsed=$((SECONDS - start))
[ $rc -eq 0 ] && ok "close-early: exit code 0" || fail "close-early: exit code $rc"
[ $elapsed -le 6 ] && ok "close-early: ended after ${elapsed}s" ||
    fail "close-early: ended after ${elapsed}s"
check_dialog close-early "$code" "$work/early.err"
close_dialogs

# 4. The interface thread runs no loop: report on standard error, dialog all the same.
code="STALLED$RANDOM"
start=$SECONDS
PROBE_CODE=$code timeout 60 "$probe" present stalled 2>"$work/stalled.err"
rc=$?
elapsed=$((SECONDS - start))
[ $rc -eq 0 ] && ok "stalled: exit code 0" || fail "stalled: exit code $rc"
[ $elapsed -le 8 ] && ok "stalled: ended after ${elapsed}s" || fail "stalled: ended after ${elapsed}s"
grep -q "Diagnostic Code: $code" "$work/stalled.err" && grep -q "فشل في معالجة" "$work/stalled.err" &&
    ok "stalled: texts and code on standard error" || fail "stalled: no report on standard error"
check_dialog stalled "$code" "$work/stalled.err"
close_dialogs

# 5. The dialog's buttons, and its page shows hostile texts as text.
timeout 60 "$probe" dialog-buttons || fail "dialog buttons"

# 6. The dialog program refuses incomplete arguments.
timeout 10 "$work/kestrum-diagnostic" --title T --english E >/dev/null 2>&1
rc=$?
[ $rc -eq 2 ] && ok "kestrum-diagnostic without --code: exit 2" ||
    fail "kestrum-diagnostic without --code: exit $rc"

for f in main thread early stalled; do
    grep -q "PRESENTER RETURNED\|MESSAGE BOX" "$work/$f.err" && fail "$f: $(cat "$work/$f.err")"
done
echo "$failures failure(s)"
[ $failures -eq 0 ]
