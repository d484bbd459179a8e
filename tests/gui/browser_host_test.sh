#!/usr/bin/env bash
# The player's browser end to end, under a virtual display (run through xvfb-run), against the
# stand-in platform service: what each content kind shows, which headers the service sees,
# new windows kept in the view, refused navigations, print requests, and a page host whose
# pins fail.
#   browser_host_test.sh <kestrum> <kestrum-tool> <kestrum-platform> <screenshot> <shots dir>
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

# The stand-in on the profile's port, with a wrong-key impostor on 127.0.0.2:443 whose address
# the pins document pins to the platform's keys, as it does cdn-localhost, a host of the
# platform's domain that the player sees at the impostor's address (a hosts file of its own).
start_standin --port 8443 --control-port 0 --attacker-port 443 --attacker-address 127.0.0.2 \
    --attacker-chain wrong-key --pin-scope 127.0.0.2 --pin-scope cdn-localhost
probe_link() {  # query
    "$tool" mint-link --token probe --content "https://localhost:8443/content/probe.html?$1" \
        --server https://localhost:8443
}
log() { curl -s "$control/__log"; }
clear_log() { curl -s -X POST -d '' "$control/__log/clear" >/dev/null; }
# Requests of the log as "METHOD target" lines, or the headers of the first request to a path.
requests() { log | python3 -c 'import json,sys
for e in json.load(sys.stdin): print(e["method"], e["target"])'; }
headers_of() {
    log | python3 -c 'import json,sys
for e in json.load(sys.stdin):
    if e["path"] == sys.argv[1]:
        for k, v in sorted(e["headers"].items()): print(k + ": " + v)
        break' "$1"
}
# What the probe page reported: the values of /__test/report?name=<name>, one per line.
reported() {
    log | python3 -c 'import json,sys,urllib.parse as u
for e in json.load(sys.stdin):
    if e["path"] == "/__test/report":
        q = dict(u.parse_qsl(e["query"]))
        if q.get("name") == sys.argv[1]: print(q.get("value", ""))' "$1"
}
has_report() { [ "$(reported "$1")" = "$2" ]; }
run_player() {  # link (empty: plain mode); leaves the player running as $running
    clear_log
    if [ -n "$1" ]; then
        "$player" "$1" >"$work/player.log" 2>&1 &
    else
        "$player" >"$work/player.log" 2>&1 &
    fi
    running=$!
}
stop_player() {
    kill "$running" 2>/dev/null
    wait "$running" 2>/dev/null
    # Its web processes end with it.
    wait_for 10 sh -c "! pgrep -f 'WebKitWebProcess' >/dev/null || ! pgrep -P $running" || true
}
shot() { "$screenshot" "$shots/$1.png" && echo "     screenshot: $shots/$1.png"; }
windows_named() { xdotool search --onlyvisible --name "$1" 2>/dev/null | wc -l; }

# 1. A platform page by its identifier: shown as it is, with the identity headers.
run_player "$(catalogue_link lesson-page)"
check "lesson page requested" wait_for 30 sh -c "curl -s '$control/__log' | grep -q '/content/lesson-page.html'"
page_headers=$(headers_of /content/lesson-page.html)
check "the page request carries the client header" grep -q '^X-Kestrum-Client: desktop-player$' <<<"$page_headers"
check "and the device headers" grep -q '^X-Dev-Id: .' <<<"$page_headers"
sleep 2
shot lesson-page
check "one window, titled Kestrum V 4.11.0" [ "$(windows_named '^Kestrum V 4.11.0$')" = 1 ]
stop_player

# 2. The probe page, a direct address: the bridge, the scripts, the media headers, a refused
#    navigation that leaves the page where it was.
run_player "$(probe_link refuse=1)"
check "the page finds window.chrome.webview" wait_for 30 has_report bridge function
check "the loader overlay is in the document" has_report loader true
check "window.print cannot be taken back" has_report print-routed true
check "a refused navigation leaves the page where it was" \
    wait_for 15 has_report still-here "/content/probe.html?refuse=1"
media_headers=$(headers_of /content/media/hls/segment.ts)
check "a media address gets the media device headers" grep -q '^X-Media-Dev-Id: .' <<<"$media_headers"
check "and the client header" grep -q '^X-Kestrum-Client: desktop-player$' <<<"$media_headers"
stop_player

# 3. New windows open in the same view, by window.open and by a link into a new window.
for how in open link; do
    run_player "$(probe_link $how=1)"
    check "$how: the address opens in the same view" \
        wait_for 30 sh -c "curl -s '$control/__log' | grep -q '/content/opened.html'"
    sleep 1
    check "$how: still one window" [ "$(windows_named '^Kestrum V 4.11.0$')" = 1 ]
    stop_player
done

# 4. Print requests reach the player's picker (window.print(), a posted object, Ctrl+P);
#    cancelling it answers the page once.
for how in print post ctrlp; do
    run_player "$(probe_link $how=1)"
    if [ "$how" = ctrlp ]; then
        # A click gives the page the keyboard.
        wait_for 30 has_report bridge function
        xdotool mousemove 600 400 click 1
        sleep 0.5
        xdotool key ctrl+p
    fi
    if wait_for 30 sh -c "[ \$(xdotool search --onlyvisible --name '^Select Printer$' 2>/dev/null | wc -l) -ge 1 ]"; then
        ok "$how: the printer picker opens"
        # No window manager hands out the keyboard: press the picker's Cancel button, at its
        # bottom right.
        picker=$(xdotool search --onlyvisible --name '^Select Printer$' | head -1)
        for _ in 1 2 3; do
            sleep 0.5
            eval "$(xdotool getwindowgeometry --shell "$picker")"
            xdotool mousemove $((X + WIDTH - 70)) $((Y + HEIGHT - 38)) click 1
            wait_for 3 sh -c "! xdotool search --onlyvisible --name '^Select Printer$'" && break
        done
        check "$how: the page gets one cancelled result" wait_for 10 has_report message \
            '{"type":"printResult","status":"cancelled"}'
    else
        fail "$how: no printer picker"
        # What the player and the page said, for whoever reads a failed run.
        echo "     the page reported: $(reported bridge) $(reported message)"
        sed 's/^/     | /' "$work/player.log" | tail -40
        shot "no-picker-$how"
    fi
    stop_player
done

# 5. A page host whose pins fail: 403 "Blocked", then the fatal dialog.
run_player "$(probe_link pins=1)"
check "the request to the impostor is answered 403 Blocked" wait_for 30 has_report pinned "403 Blocked"
check "the fatal dialog follows" wait_for 15 has_dialog
check "nothing reached the impostor" sh -c "! curl -s '$control/__log' | grep -q '\"listener\":\"attacker\"'"
wait_for 20 sh -c "! kill -0 $running" && ok "the player ended after its countdown" || fail "the player still runs"
stop_dialogs
stop_player

# 5b. The same in the platform's own domain: no "Blocked" page, the dialog of a platform host
#     ("SSL_" + host) at once.
printf '127.0.0.1 localhost\n127.0.0.2 cdn-localhost\n' >"$work/hosts"
clear_log
unshare -m sh -c 'mount --bind "$0" /etc/hosts && exec "$@"' "$work/hosts" \
    "$player" "$(probe_link pins=cdn-localhost)" >"$work/player.log" 2>&1 &
running=$!
check "a platform host failing its pins ends in the fatal dialog" wait_for 30 has_dialog
check "with the code SSL_cdn-localhost on the clipboard" \
    wait_for 10 sh -c "[ \"\$(timeout 2 xclip -selection clipboard -o 2>/dev/null)\" = SSL_cdn-localhost ]"
check "not the code of an outside host" sh -c "! grep -q MITM_PIN_ '$work/player.log'"
check "and the page's request never got an answer" test -z "$(reported pinned)"
check "nothing reached the impostor" sh -c "! curl -s '$control/__log' | grep -q '\"listener\":\"attacker\"'"
wait_for 20 sh -c "! kill -0 $running" && ok "the player ended after its countdown" || fail "the player still runs"
stop_dialogs
stop_player

# 6. A PDF with its watermark and print button, and content in the generated page.
run_player "$(catalogue_link notes-pdf)"
check "PDF requested" wait_for 30 sh -c "curl -s '$control/__log' | grep -q '/content/notes.pdf'"
sleep 4
shot notes-pdf
stop_player
run_player "$(catalogue_link interactive)"
check "framed content requested" wait_for 30 sh -c "curl -s '$control/__log' | grep -q '/content/interactive.html'"
sleep 3
shot interactive
stop_player

# 7. Plain mode: the start window on the platform's site, with its own headers, and its
#    toolbar (top left, 20 px in): Home opens the platform's home page, Reload loads the page
#    again, and a dragged toolbar keeps its new place across pages.
requested() { [ "$(requests | grep -cx "GET $1")" -ge "$2" ]; }
click() { xdotool mousemove "$1" "$2" click 1; }
run_player ""
check "start page requested" wait_for 30 requested /start 1
start_headers=$(headers_of /start)
check "the start window's two headers" grep -q '^X-Kestrum-Native: 1$' <<<"$start_headers"
check "and the other" grep -q '^X-Kestrum-App: 1$' <<<"$start_headers"
sleep 3
shot start-window
click 73 43
check "the toolbar's Home button opens the home page" wait_for 15 requested / 1
sleep 2
click 150 43
check "its Reload button loads the page again" wait_for 15 requested / 2
sleep 2
xdotool mousemove 38 43 mousedown 1 mousemove 200 300 mousemove 400 500 mouseup 1
sleep 1
click 113 43
sleep 1
click 73 43
homes=$(requests | grep -cx 'GET /')
check "a dragged toolbar leaves nothing under its old place ($homes home pages)" [ "$homes" -eq 2 ]
click 435 500
check "and works at its new place" wait_for 15 requested / 3
stop_player

# 8. Full screen, which needs a window manager: the start window's toolbar button toggles it,
#    and a page's "toggleFullscreen" does so for the main window (back to 1280 x 720).
openbox --sm-disable >/dev/null 2>&1 &
wm=$!
sleep 1
run_player ""
wait_for 30 requested /start 1
sleep 2
start_window=$(xdotool search --onlyvisible --name '^Kestrum V 4.11.0$' | head -1)
size_of() { xdotool getwindowgeometry "$1" | sed -nE 's/^ *Geometry: //p'; }
press_fullscreen() {  # the toolbar's fourth button, once the hovered toolbar has opened up
    xdotool mousemove --window "$start_window" 38 43
    sleep 1
    xdotool mousemove --window "$start_window" 415 43 click 1
    sleep 0.3
    xdotool mousemove --window "$start_window" 600 600
}
press_fullscreen
check "the toolbar's Fullscreen button covers the screen" wait_for 5 sh -c "[ \"\$(xdotool getwindowgeometry $start_window | sed -nE 's/^ *Geometry: //p')\" = 1280x800 ]"
press_fullscreen
check "and gives the window back its place" wait_for 5 sh -c "[ \"\$(xdotool getwindowgeometry $start_window | sed -nE 's/^ *Geometry: //p')\" = 1024x768 ]"
stop_player
run_player "$(probe_link fullscreen=1)"
check "a page's toggleFullscreen covers the screen" wait_for 30 has_report fullscreen 1280x800
check "and a second one frames the window at 1280 x 720" wait_for 10 has_report framed 1280x720
stop_player
kill "$wm" 2>/dev/null
wait "$wm" 2>/dev/null

echo "$failures failed"
[ "$failures" -eq 0 ]
