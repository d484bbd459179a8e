#!/usr/bin/env bash
# The Windows player's command line under Wine, and where it keeps its support log: --version
# prints the version and succeeds, a wrong option is a usage error, both before any window;
# a started player writes kestrum.log under the local application data folder. Runs in the
# Wine session of the cross build's tests (WINEPREFIX and DISPLAY set).
#   player_options_win32_test.sh <wine> <kestrum.exe>
set -u
wine=$1
player=$2
source "$(dirname "$0")/../../gui/gui_test_lib.sh"
work=$(mktemp -d)
running=
log=
kept=
runtime_key='HKCU\Software\Microsoft\EdgeUpdate\ClientState\{F3017226-FE2A-4295-8BDF-00C3A9A7E4C5}'
added_runtime_key=

# The prefix is shared with the other tests: a log found there is put back as it was.
cleanup() {
    [ -n "$running" ] && kill "$running" 2>/dev/null && wait "$running" 2>/dev/null
    if [ -n "$log" ]; then
        rm -f "$log" "$log.1"
        [ -n "$kept" ] && mv "$work/kept.log" "$log"
    fi
    [ -n "$added_runtime_key" ] && "$wine" reg delete "$runtime_key" /reg:32 /f >/dev/null 2>&1
    rm -rf "$work"
}
trap cleanup EXIT

version=$(sed -nE 's/^project\(Kestrum VERSION ([0-9.]+).*/\1/p' "$(dirname "$0")/../../../CMakeLists.txt")
timeout 60 "$wine" "$player" --version >"$work/out" 2>"$work/err"
code=$?
out=$(tr -d '\r' <"$work/out")
check "--version exits 0 (exit $code)" [ "$code" = 0 ]
check "--version prints 'Kestrum $version' (printed '$out')" [ "$out" = "Kestrum $version" ]

timeout 60 "$wine" "$player" --zzz >"$work/out" 2>"$work/err"
code=$?
out=$(tr -d '\r' <"$work/err")
check "--zzz exits 2 (exit $code)" [ "$code" = 2 ]
check "--zzz is named on standard error ($out)" grep -q -- '--zzz' <<<"$out"
check "--zzz prints nothing on standard output" [ ! -s "$work/out" ]

# The support log: the folder the system names, then a plain start that is stopped as soon
# as its first lines are there.
local_app_data=$("$wine" cmd /c 'echo %LOCALAPPDATA%' 2>/dev/null | tr -d '\r')
folder=$("$wine" winepath -u "$local_app_data\\Kestrum" 2>/dev/null | tr -d '\r')
check "the local application data folder is known ($local_app_data)" [ -n "$folder" ]
log=${folder%/}/kestrum.log
if [ -e "$log" ]; then
    mv "$log" "$work/kept.log"
    kept=yes
fi
# A browser runtime on record, so that the start goes on past its check to the traced steps.
if ! "$wine" reg query "$runtime_key" /v EBWebView /reg:32 >/dev/null 2>&1; then
    "$wine" reg add "$runtime_key" /v EBWebView /d 'C:\Runtime\Application\120.0.2210.91' \
        /reg:32 /f >/dev/null 2>&1
    added_runtime_key=yes
fi
"$wine" "$player" >"$work/player.out" 2>&1 &
running=$!
check "a started player writes $log" wait_for 60 grep -q ' Kestrum [0-9.]* started$' "$log"
check "its trace lines follow, stamped" \
    wait_for 30 grep -qE '^[0-9]{4}-[0-9]{2}-[0-9]{2}T[0-9]{2}:[0-9]{2}:[0-9]{2}\.[0-9]{3}Z Step ' "$log"
kill "$running" 2>/dev/null
wait "$running" 2>/dev/null
running=

echo "$failures failed"
[ "$failures" -eq 0 ]
