#!/usr/bin/env bash
# A link that cannot be decoded, as a learner meets it in kestrum.exe: the countdown window,
# the diagnostic code on the clipboard, the diagnostic dialog started with that code, and the
# player's end with 0. The dialog's host is a recording stand-in beside the player, where
# Windows looks first. Runs in the Wine session of the cross build's tests.
#   broken_link_win32_test.sh <wine> <kestrum.exe> <player_probe.exe> <mshta_recorder.exe>
set -u -o pipefail
: "${WINEPREFIX:?needs a Wine session}" "${DISPLAY:?needs a display}"
wine=$1 probe_exe=$3
work=$(mktemp -d)
pid=""
# The browser runtime counts as installed, so the start goes on to the link; the prefix is
# left as it was found.
runtime_key='HKCU\Software\Microsoft\EdgeUpdate\ClientState\{F3017226-FE2A-4295-8BDF-00C3A9A7E4C5}'
"$wine" reg add "$runtime_key" /v EBWebView /d 'C:\Runtime\Application\120.0.2210.91' /reg:32 /f >/dev/null 2>&1
trap '[ -n "$pid" ] && kill "$pid" 2>/dev/null; "$wine" reg delete "$runtime_key" /reg:32 /f >/dev/null 2>&1
      rm -rf "$work"' EXIT
cp "$2" "$work/kestrum.exe"
cp "$4" "$work/mshta.exe"
records=$work/records
mkdir -p "$records"
export KESTRUM_MSHTA_RECORDS="Z:${records//\//\\}"
failures=0
fail() { echo "FAIL $*"; failures=$((failures + 1)); }
ok() { echo "ok   $*"; }
probe() { "$wine" "$probe_exe" "$@" 2>/dev/null | tr -d '\r'; }

"$wine" "$work/kestrum.exe" 'kestrum:not-a-link' >"$work/player.log" 2>&1 &
pid=$!
code_text=""
if probe window MolvaneSecureExitCountdown - 90 >/dev/null; then
    ok "a broken link shows the countdown"
    code_text=$(xclip -o -selection clipboard 2>/dev/null | tr -d '\r')
    [[ "$code_text" =~ ^[A-Za-z0-9+/=]{16,}$ ]] &&
        ok "its diagnostic code is on the clipboard ($code_text)" ||
        fail "the clipboard holds '$code_text'"
else
    fail "no countdown for a broken link"
fi

# The countdown runs ten seconds, then the dialog starts and the player ends.
for _ in $(seq 1 40); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 1
done
if kill -0 "$pid" 2>/dev/null; then
    fail "the player is still running 40 s after the countdown"
else
    wait "$pid"
    code=$?
    pid=""
    [ "$code" = 0 ] && ok "the player ends with 0" || fail "the player ended with $code"
fi
sleep 1
record=$(find "$records" -type f | head -1)
if [ -n "$record" ] && [ -n "$code_text" ] && grep -qF -- "$code_text" "$record" &&
    grep -q '^"\?[^ ]*mshta' "$record"; then
    ok "the dialog was started with the code ($(wc -c <"$record") bytes of command line)"
else
    fail "dialog command: $(head -c 200 "$record" 2>/dev/null)"
fi

echo "$failures failed"
[ "$failures" -eq 0 ]
