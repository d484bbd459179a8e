#!/usr/bin/env bash
# The player's command line as a learner or a packager meets it: help and version answer at
# once, even without a display; a wrong option is a usage error; without a display the
# player says so. Usage: player_options_test.sh <kestrum>
set -u
player=$1
failures=0
fail() { echo "FAIL $*"; failures=$((failures + 1)); }

# A state folder of the test's own: a started player writes its support log there.
state=$(mktemp -d)
trap 'rm -rf "$state"' EXIT

for case in "--help|0" "-h|0" "--version|0" "-V|0" "--no-such-option|2"; do
    option=${case%|*} expected=${case##*|}
    out=$(env -u DISPLAY -u WAYLAND_DISPLAY XDG_STATE_HOME="$state" timeout 10 "$player" "$option" 2>&1)
    got=$?
    [ "$got" = "$expected" ] || fail "$option: exit $got, expected $expected ($out)"
    case $option in
        --version|-V) [[ "$out" =~ ^Kestrum\ [0-9]+\.[0-9]+\.[0-9]+$ ]] ||
                          fail "$option printed '$out'" ;;
        --help|-h) grep -q -- "--version" <<<"$out" || fail "$option printed no usage: $out" ;;
        --no-such-option) grep -q -- "--no-such-option" <<<"$out" ||
                              fail "a wrong option is not named: $out" ;;
    esac
done

out=$(env -u DISPLAY -u WAYLAND_DISPLAY XDG_STATE_HOME="$state" timeout 20 "$player" 2>&1)
got=$?
[ "$got" = 1 ] || fail "without a display: exit $got, expected 1"
grep -q "cannot open a display" <<<"$out" || fail "without a display it said: $out"
# The log is opened before the display, so even this start leaves a line for support; an
# option answered at once leaves none.
grep -qE '^[0-9-]+T[0-9:.]+Z Kestrum [0-9.]+ started$' "$state/kestrum/kestrum.log" ||
    fail "the support log did not note the start: $(cat "$state/kestrum/kestrum.log" 2>&1)"
[ "$(wc -l <"$state/kestrum/kestrum.log")" = 1 ] ||
    fail "help, version or a wrong option wrote to the support log"

echo "$failures failed"
[ "$failures" -eq 0 ]
