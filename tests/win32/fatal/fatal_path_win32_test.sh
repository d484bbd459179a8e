#!/usr/bin/env bash
# The fatal error path under Wine and the session's virtual display: the countdown as the
# learner sees it (place, pixels, the count, dragging, Alt+F4), the code on the clipboard, the
# exact dialog command, exit code 0; from the main thread, from two threads at once, again
# inside the countdown, and the boxes that stand in when the countdown or the dialog cannot be
# shown. A recording stand-in for the HTML application host lies beside the probe, where the
# system looks for a program first, and writes down each command line it is started with.
#   fatal_path_win32_test.sh EMULATOR PROBE MSHTA_RECORDER SCREENSHOT_DIR
# Needs the Wine session of scripts/wine-session.sh (WINEPREFIX and DISPLAY).
set -uo pipefail
[ $# -eq 4 ] || { echo "usage: $0 EMULATOR PROBE MSHTA_RECORDER SCREENSHOT_DIR" >&2; exit 2; }
: "${WINEPREFIX:?needs a Wine session}" "${DISPLAY:?needs a display}"
emulator=$1 shots=$4
mkdir -p "$shots"
work=$(mktemp -d)
cp "$2" "$work/probe.exe"
cp "$3" "$work/mshta.exe"
records=$work/records
mkdir -p "$records"
export KESTRUM_MSHTA_RECORDS="Z:${records//\//\\}"
failures=0
player=""

fail() { echo "FAILED: $*"; failures=$((failures + 1)); }
ok() { echo "ok: $*"; }
cleanup() {
    [ -n "$player" ] && kill "$player" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

# The probe's lines end in CR LF, as a Windows program's do.
probe() { "$emulator" "$work/probe.exe" "$@" | tr -d '\r'; }
now() { date +%s%N; }
seconds_since() { echo $((($(now) - $1) / 1000000000)); }

start_player() {  # mode code stderr-file
    rm -f "$records"/*
    PROBE_CODE=$2 "$emulator" "$work/probe.exe" present "$1" 2>"$3" &
    player=$!
    started=$(now)
}

finish_player() {  # label stderr-file
    wait "$player"
    local rc=$?
    player=""
    [ $rc -eq 0 ] && ok "$1: exit code 0" || fail "$1: exit code $rc"
    grep -q "PRESENTER RETURNED" "$2" && fail "$1: the fatal path returned to its caller"
    local hooks
    hooks=$(grep -c "SHUTDOWN HOOK RAN" "$2")
    [ "$hooks" = 1 ] && ok "$1: shutdown hook ran once" || fail "$1: shutdown hook ran $hooks times"
}

# The launches of the stand-in host: $2 of them, each with exactly the expected command line.
check_launches() {  # label count code
    local found expected=$work/expected.txt
    sleep 1
    found=$(find "$records" -type f | wc -l)
    [ "$found" = "$2" ] && ok "$1: dialog started $found time(s)" ||
        fail "$1: dialog started $found time(s), wanted $2"
    [ "$2" = 0 ] && return
    PROBE_CODE=$3 probe expected-command-line "$expected"
    for record in "$records"/*; do
        if cmp -s "$record" "$expected"; then
            ok "$1: dialog command line is exactly mshta \"about:<the page>\" ($(wc -c <"$record") bytes)"
        else
            fail "$1: dialog command line differs: $(head -c 300 "$record")"
        fi
    done
}

# Read while the failing process runs: Wine drops clipboard data with the process that put it
# there (Windows keeps it).
check_clipboard() {  # label code
    local text
    text=$(probe clipboard)
    grep -qxF "unicode=$2" <<<"$text" && ok "$1: code on the clipboard as Unicode text" ||
        fail "$1: clipboard reads '$text'"
    grep -qxF "ansi=$2" <<<"$text" && ok "$1: and as ANSI text for older programs" ||
        fail "$1: ANSI clipboard reads '$text'"
    text=$(timeout 5 xclip -o -selection clipboard 2>/dev/null)
    [ "$text" = "$2" ] && ok "$1: the display's other programs paste the code" ||
        fail "$1: X clipboard holds '$text'"
}

wait_for() {  # pattern file seconds
    local end=$((SECONDS + $3))
    while [ $SECONDS -lt $end ]; do
        grep -q "$1" "$2" 2>/dev/null && return 0
        sleep 0.2
    done
    return 1
}

press_alt_f4() {
    xdotool key alt+F4
}

# 1. The main thread fails: the whole ten seconds.
code="AAEC+/8=MAIN$RANDOM"
start_player main "$code" "$work/main.err"
probe window-rect >/dev/null || fail "main: no countdown window"
shown=$(now)
probe inspect-countdown "$shots/countdown-win32.png" || fail "main: countdown as drawn"
check_clipboard main "$code"
if read -r left top _ _ < <(probe window-rect); then
    x=$((left + 600)) y=$((top + 560))
    xdotool mousemove $x $y mousedown 1 sleep 0.2 mousemove $((x + 20)) $((y + 15)) sleep 0.2 \
        mousemove $((x + 40)) $((y + 30)) sleep 0.2 mouseup 1
    sleep 0.3
    read -r left2 top2 _ _ < <(probe window-rect)
    [ "$left2 $top2" = "$((left + 40)) $((top + 30))" ] &&
        ok "main: dragged by a point of its face" || fail "main: after dragging at $left2,$top2"
else
    fail "main: no countdown window to drag"
fi
finish_player main "$work/main.err"
# Seen a moment after it appeared; a Wine program's start is that moment.
elapsed=$(seconds_since "$shown")
[ "$elapsed" -ge 8 ] && [ "$elapsed" -le 12 ] && ok "main: ended ${elapsed}s after it was seen" ||
    fail "main: ended ${elapsed}s after it was seen, not about ten"
check_launches main 1 "$code"

# 2. Two other threads fail at once with a code too long for the box; closed with Alt+F4.
code="LONG$RANDOM$(printf 'Zm9vYmFy%.0s' $(seq 40))END"
start_player threads "$code" "$work/threads.err"
probe window-rect >/dev/null || fail "threads: no countdown"
sleep 1
[ "$(probe countdowns)" = 1 ] && ok "threads: one countdown" ||
    fail "threads: $(probe countdowns) countdowns"
check_clipboard threads "$code"
pressed=$(now)
press_alt_f4
finish_player threads "$work/threads.err"
elapsed=$(seconds_since "$pressed")
[ "$elapsed" -le 2 ] && ok "threads: Alt+F4 ends the countdown at once" ||
    fail "threads: ended ${elapsed}s after Alt+F4"
check_launches threads 1 "$code"

# 3. The main thread fails again inside its own countdown: the first error is finished.
code="FIRST$RANDOM"
start_player reenter "$code" "$work/reenter.err"
wait_for "SECOND FAILURE" "$work/reenter.err" 10 || fail "reenter: no second failure"
sleep 0.5
[ "$(probe countdowns)" = 1 ] && ok "reenter: still one countdown" ||
    fail "reenter: $(probe countdowns) countdowns"
check_clipboard reenter "$code"
press_alt_f4
finish_player reenter "$work/reenter.err"
check_launches reenter 1 "$code"

# 4. The dialog cannot be started: its box, which stays until answered, after the countdown.
printf 'not a program' >"$work/mshta.exe"
code="NODIALOG$RANDOM"
start_player main "$code" "$work/nodialog.err"
if read -r bx by < <(probe box "$work/box.txt"); then
    elapsed=$(seconds_since "$started")
    [ "$elapsed" -ge 9 ] && ok "no dialog: box after the countdown (${elapsed}s)" ||
        fail "no dialog: box after ${elapsed}s"
    PROBE_CODE=$code probe expected-box dialog "$work/box-expected.txt"
    cmp -s "$work/box.txt" "$work/box-expected.txt" && ok "no dialog: box holds the texts and code" ||
        fail "no dialog: box reads '$(cat "$work/box.txt")'"
    sleep 1.5
    kill -0 "$player" 2>/dev/null && ok "no dialog: box waits for the learner" ||
        fail "no dialog: the process ended without an answer"
    xdotool mousemove "$bx" "$by" click 1
else
    fail "no dialog: no box"
fi
finish_player "no dialog" "$work/nodialog.err"
grep -q "MESSAGE BOX ANSWERED" "$work/nodialog.err" || fail "no dialog: box not answered"
check_launches "no dialog" 0
rm -f "$work/mshta.exe"

# 5. The countdown window cannot be created: its box, then the dialog.
cp "$3" "$work/mshta.exe"
code="NOWINDOW$RANDOM"
start_player no-window "$code" "$work/nowindow.err"
if read -r bx by < <(probe box "$work/box.txt"); then
    PROBE_CODE=$code probe expected-box countdown "$work/box-expected.txt"
    cmp -s "$work/box.txt" "$work/box-expected.txt" &&
        ok "no window: box tells the texts and the ten seconds" ||
        fail "no window: box reads '$(cat "$work/box.txt")'"
    [ -z "$(ls "$records")" ] && ok "no window: no dialog before the box is answered" ||
        fail "no window: dialog started before the box was answered"
    check_clipboard "no window" "$code"
    xdotool mousemove "$bx" "$by" click 1
else
    fail "no window: no box"
fi
finish_player "no window" "$work/nowindow.err"
check_launches "no window" 1 "$code"

# 6. Another program holds the clipboard: no code there, the rest as usual.
# Straight to the file: a pipe would hold the line back until the holder ends.
"$emulator" "$work/probe.exe" hold-clipboard 5 >"$work/holder.out" &
holder=$!
wait_for HOLDING "$work/holder.out" 10 || fail "clipboard: could not be held"
code="BUSY$RANDOM"
start_player main "$code" "$work/busy.err"
probe window-rect >/dev/null && ok "busy clipboard: the countdown shows all the same" ||
    fail "busy clipboard: no countdown"
wait "$holder"
text=$(probe clipboard)
grep -q "$code" <<<"$text" && fail "busy clipboard: the code got onto a held clipboard" ||
    ok "busy clipboard: the code is not forced onto it"
press_alt_f4
finish_player "busy clipboard" "$work/busy.err"
check_launches "busy clipboard" 1 "$code"

echo "$failures failure(s)"
[ $failures -eq 0 ]
