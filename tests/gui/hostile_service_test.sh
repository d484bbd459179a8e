#!/usr/bin/env bash
# The player against a hostile service, under a virtual display (run through xvfb-run): an
# update offered at a script address opens only the built-in address, oversized service
# messages give boxes that fit the screen (and end the browser the player started for the link
# before they show), and a content address that is not http(s) ends in the link failure with
# its reason.
#   hostile_service_test.sh <kestrum> <kestrum-tool> <kestrum-platform> <screenshot> <shots dir>
set -u
player=$1
tool=$2
platform=$3
screenshot=$4
shots=$5
mkdir -p "$shots"
work=$(mktemp -d)
source "$(dirname "$0")/gui_test_lib.sh"
private_home
cleanup() {
    pkill -f "^$player" 2>/dev/null
    stop_dialogs
    stop_standin
    rm -rf "$work"
}
trap cleanup EXIT

start_standin --port 8443 --control-port 0 --hostile-port 0
hostile=$(standin_listening hostile)
version() {  # the version answer, as --version-answer takes it
    python3 -c 'import json,sys; print(json.dumps({"version": sys.argv[1]}))' "$1" |
        curl -s -X POST --data-binary @- "$control/__settings" >/dev/null
}
shot() { "$screenshot" "$shots/$1.png" && echo "     screenshot: $shots/$1.png"; }
link_to() {  # hostile mode
    "$tool" mint-link --token demo-token-0100 --content lesson-7 --server "$hostile/__hostile/$1"
}
# The one box of the player whose title begins with $1: its geometry as WIDTH, HEIGHT, X, Y.
box_geometry() {
    local box
    box=$(xdotool search --onlyvisible --name "^$1" | head -1)
    [ -n "$box" ] || return 1
    eval "$(xdotool getwindowgeometry --shell "$box")"
    BOX=$box
}
# No window manager hands out the keyboard: click the right-most button of the box.
click_right_button() {
    xdotool mousemove --window "$BOX" $((WIDTH - 30)) $((HEIGHT - 20)) click 1 >/dev/null 2>&1
}
# Web processes started by this test's players, found by the HOME they inherited.
our_web_processes() {
    for pid in $(pgrep -f WebKitWebProcess); do
        tr '\0' '\n' <"/proc/$pid/environ" 2>/dev/null | grep -qx "HOME=$HOME" && echo "$pid"
    done
}
no_web_process() { [ -z "$(our_web_processes)" ]; }
ends_within() {  # seconds, pid; sets $code
    if wait_for "$1" sh -c "! kill -0 $2"; then
        wait "$2"
        code=$?
        return 0
    fi
    kill "$2" 2>/dev/null
    code=none
    return 1
}

# 1. A mandatory update at a script address: the desktop's handler receives only the built-in
# https address. A handler of our own for every scheme records what it is given.
cat >"$work/handler" <<HANDLER
#!/bin/sh
printf '%s\n' "\$@" >>"$work/opened"
HANDLER
chmod +x "$work/handler"
mkdir -p "$HOME/.local/share/applications"
cat >"$HOME/.local/share/applications/recorder.desktop" <<DESKTOP
[Desktop Entry]
Type=Application
Name=Recorder
Exec=$work/handler %u
MimeType=x-scheme-handler/https;x-scheme-handler/http;x-scheme-handler/javascript;x-scheme-handler/file;x-scheme-handler/smb;
DESKTOP
for scheme in https http javascript file smb; do
    xdg-mime default recorder.desktop "x-scheme-handler/$scheme"
done
version '{"version": 99, "is_required": 1, "link": "javascript:alert(document.domain)//"}'
"$player" >"$work/update.log" 2>&1 &
pid=$!
if wait_for 30 box_geometry 'Kestrum - Update Required'; then
    ok "the mandatory update box is shown"
    click_right_button
    ends_within 15 "$pid" && [ "$code" = 0 ] && ok "OK ends the player with 0" ||
        fail "the player did not end with 0 ($code)"
    wait_for 10 test -s "$work/opened"
    built_in=https://localhost:8443/desktop/kestrum/kestrum-linux-x86_64.tar.gz  # this build's own
    [ "$(cat "$work/opened" 2>/dev/null)" = "$built_in" ] &&
        ok "only the built-in address was opened" ||
        fail "the handler was given: $(cat "$work/opened" 2>/dev/null)"
else
    fail "no update box: $(tail -3 "$work/update.log")"
    kill "$pid" 2>/dev/null
fi
version none

# 2. Service messages of 100,000 lines and of a million characters: boxes that fit the screen.
#    The browser started for the link while it was checked is gone once the link is refused.
for mode in many-lines-message long-message; do
    "$player" "$(link_to $mode)" >"$work/$mode.log" 2>&1 &
    pid=$!
    if wait_for 40 box_geometry 'Kestrum - '; then
        ok "$mode: the server's box is shown"
        check "$mode: the link's browser had been started ahead" \
            grep -q 'Content browser started ahead' "$work/$mode.log"
        check "$mode: and its web process is gone while the box shows" wait_for 10 no_web_process
        shot "hostile-$mode"
        [ "$WIDTH" -le 1280 ] && [ "$HEIGHT" -le 800 ] &&
            ok "$mode: it fits the screen (${WIDTH}x${HEIGHT})" ||
            fail "$mode: ${WIDTH}x${HEIGHT} does not fit 1280x800"
        click_right_button
        ends_within 15 "$pid" && [ "$code" = 1 ] && ok "$mode: closing it ends with 1" ||
            fail "$mode: exit $code"
        check "$mode: no web process is left behind" no_web_process
    else
        fail "$mode: no box: $(tail -3 "$work/$mode.log")"
        kill "$pid" 2>/dev/null
    fi
done

# 3. A content address of javascript: ends in the link failure, with its reason in the code.
"$player" "$(link_to content-javascript)" >"$work/content.log" 2>&1 &
pid=$!
if wait_for 40 has_dialog; then
    ok "a javascript: content address ends in the diagnostic dialog"
    wait_for 10 sh -c "[ \"\$(timeout 2 xclip -selection clipboard -o 2>/dev/null)\" != '' ]"
    reason=$("$tool" decode-diagnostic "$(timeout 5 xclip -selection clipboard -o 2>/dev/null)" |
        sed -nE 's/.*\|reason=(.*)\|END$/\1/p')
    [ "$reason" = "content_url_not_web" ] && ok "its reason is content_url_not_web" ||
        fail "reason '$reason'"
else
    fail "no diagnostic dialog: $(tail -3 "$work/content.log")"
fi
kill "$pid" 2>/dev/null
stop_dialogs

echo "$failures failed"
[ "$failures" -eq 0 ]
