#!/usr/bin/env bash
# What keeps the player's browser safe and readable, end to end under a virtual display (run
# through xvfb-run) against the stand-in platform service: a player without its request
# handling refuses to start, pages that cannot load get a readable page of the player's own,
# refused top-level navigations never leave the page nor reach their host, and a third-party
# frame cannot speak for the page.
#   browser_guard_test.sh <kestrum> <kestrum-tool> <kestrum-platform> <screenshot>
#                         <screen-reading> <shots dir>
set -u
player=$1
tool=$2
platform=$3
screenshot=$4
screen_reading=$5
shots=$6
mkdir -p "$shots"
work=$(mktemp -d)
source "$(dirname "$0")/gui_test_lib.sh"
private_home
wm=
running=
cleanup() {
    [ -n "$running" ] && kill "$running" 2>/dev/null
    stop_dialogs
    stop_standin
    [ -n "$wm" ] && kill "$wm" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

# The stand-in on the profile's port, with an impostor on 127.0.0.2:443 whose certificate no
# one trusts, and an address of its own that redirects to a refused host.
start_standin --port 8443 --control-port 0 --attacker-port 443 --attacker-address 127.0.0.2 \
    --attacker-chain wrong-key \
    --redirect-path "/content/go=https://127.0.0.1:8443/content/opened.html?refused=redirect"
probe_link() {  # query
    "$tool" mint-link --token probe --content "https://localhost:8443/content/probe.html?$1" \
        --server https://localhost:8443
}
direct_link() {  # address
    "$tool" mint-link --token probe --content "$1" --server https://localhost:8443
}
log() { curl -s "$control/__log"; }
clear_log() { curl -s -X POST -d '' "$control/__log/clear" >/dev/null; }
requests() { log | python3 -c 'import json,sys
for e in json.load(sys.stdin): print(e["listener"], e["method"], e["target"])'; }
reported() {
    log | python3 -c 'import json,sys,urllib.parse as u
for e in json.load(sys.stdin):
    if e["path"] == "/__test/report":
        q = dict(u.parse_qsl(e["query"]))
        if q.get("name") == sys.argv[1]: print(q.get("value", ""))' "$1"
}
has_report() { [ "$(reported "$1")" = "$2" ]; }
run_player() {  # link [program]: the player (or a copy of it) in the background, as $running
    clear_log
    "${2:-$player}" "$1" >"$work/player.log" 2>&1 &
    running=$!
}
stop_player() {
    kill "$running" 2>/dev/null
    wait "$running" 2>/dev/null
    running=
    wait_for 10 sh -c "! pgrep -f WebKitWebProcess >/dev/null" || true
}
shot() { "$screenshot" "$shots/$1.png" && echo "     screenshot: $shots/$1.png"; }
player_window() { xdotool search --onlyvisible --name '^Kestrum V 4.11.0$' 2>/dev/null | head -1; }
# The colours of a rectangle inside the player's window: "background R,G,B ink R,G,B
# contrast N pixels N".
read_window() {  # x y width height, relative to the window
    local window
    window=$(player_window)
    [ -n "$window" ] || return 1
    eval "$(xdotool getwindowgeometry --shell "$window")"
    "$screen_reading" $((X + $1)) $((Y + $2)) "$3" "$4"
}
started=$(date +%s)
section() { echo "-- $1 ($(($(date +%s) - started)) s)"; }
field() { awk -v name="$1" '{ for (i = 1; i < NF; ++i) if ($i == name) print $(i + 1) }'; }
at_least() { awk -v a="$1" -v b="$2" 'BEGIN { exit !(a >= b) }'; }

section "runtime check"
# 1. A player whose web extension is missing or damaged, or a system without the video
#    components: the start ends with a bilingual box and exit code 1, before anything is asked
#    of the service.
mkdir -p "$work/bare" "$work/damaged/web-extensions"
cp "$player" "$work/bare/kestrum"
cp "$player" "$work/damaged/kestrum"
echo "not a library" >"$work/damaged/web-extensions/libkestrum-web-extension.so"
# Without video components: a media framework that finds no plugins at all.
mkdir -p "$work/media" "$work/no-plugins"
printf '#!/bin/sh\nGST_PLUGIN_SYSTEM_PATH_1_0=%s GST_PLUGIN_PATH_1_0= GST_REGISTRY_1_0=%s exec %s "$@"\n' \
    "$work/no-plugins" "$work/no-plugins.bin" "$player" >"$work/media/kestrum"
chmod +x "$work/media/kestrum"
for case in "bare|Web extension: not found" "damaged|Web extension: cannot be loaded" \
    "media|Missing media component: H.264 video decoder"; do
    name=${case%%|*}
    why=${case#*|}
    run_player "$(probe_link refused-start=$name)" "$work/$name/kestrum"
    if wait_for 30 xdotool search --onlyvisible --name '^Molvane — Component Required$'; then
        ok "$name: the player says which component is missing"
        # The content browser started ahead is gone before the box asks anything.
        check "$name: no browser process runs beside the box" \
            wait_for 5 sh -c "! pgrep -P $running -f WebKit >/dev/null"
        sleep 1
        shot "runtime-$name"
        box=$(xdotool search --onlyvisible --name '^Molvane — Component Required$' | head -1)
        eval "$(xdotool getwindowgeometry --shell "$box")"
        xdotool mousemove --window "$box" $((WIDTH - 30)) $((HEIGHT - 20)) click 1 >/dev/null 2>&1
        if wait_for 10 sh -c "! kill -0 $running"; then
            wait "$running"
            code=$?
            check "$name: and ends with exit code 1 ($code)" [ "$code" -eq 1 ]
        else
            fail "$name: the box did not close"
        fi
    else
        fail "$name: no box"
    fi
    check "$name: the log names the missing part ($why)" grep -q "$why" "$work/player.log"
    # The media check runs in a helper beside the player; a player alone checks by itself.
    case $name in
        bare) check "bare: without its helper the player checks the media itself" \
            grep -q "checking in the player" "$work/player.log" ;;
        media) check "media: the helper answered" \
            sh -c "! grep -q 'checking in the player' '$work/player.log'" ;;
    esac
    check "$name: no request reached the service" [ -z "$(requests)" ]
    stop_player
done

section "error pages"
# 2. Pages that cannot be loaded (no server on the port, a name that does not resolve) show
#    the player's own page, light text on its dark background.
for case in "unreachable|https://localhost:8449/lesson?from=guard" \
    "unresolved|https://nowhere.kestrum.test/lesson"; do
    name=${case%%|*}
    address=${case#*|}
    run_player "$(direct_link "$address")"
    wait_for 30 player_window
    sleep 8
    shot "error-page-$name"
    reading=$(read_window 100 40 1000 400)
    echo "     $name: $reading"
    check "$name: the player's error page is shown" [ "$(field background <<<"$reading")" = 26,26,46 ]
    check "$name: and readable (contrast at least 7:1)" at_least "$(field contrast <<<"$reading")" 7
    check "$name: with text on it" at_least "$(field pixels <<<"$reading")" 500
    stop_player
done

section "refused navigations"
# 3. Refused top-level navigations, to a host with a certificate the engine trusts, one with a
#    certificate no one trusts, one where nothing listens, and through a redirect of an
#    allowed address: the page stays alive and the refused host never sees the request.
"$platform" --write-chain "$work/chain" >/dev/null
cat /etc/ssl/certs/ca-certificates.crt "$work/chain/ca.pem" >"$work/trusted-bundle.crt"
run_trusting() {  # link: the player with the stand-in's authority among the trusted ones
    clear_log
    unshare -m sh -c 'mount --bind "$0" /etc/ssl/certs/ca-certificates.crt && exec "$@"' \
        "$work/trusted-bundle.crt" "$player" "$1" >"$work/player.log" 2>&1 &
    running=$!
}
# The trust is real: a page on 127.0.0.1 (no pins there) loads only through it.
run_trusting "$(direct_link 'https://127.0.0.1:8443/content/probe.html?trust=1')"
check "trusted: the stand-in's certificate is trusted for 127.0.0.1" wait_for 30 has_report bridge function
stop_player
for case in "trusted|https://127.0.0.1:8443/content/opened.html?refused=trusted" \
    "untrusted|https://127.0.0.2/content/opened.html?refused=untrusted" \
    "silent|https://127.0.0.3:9/content/opened.html?refused=silent" \
    "redirected|https://localhost:8443/content/go"; do
    name=${case%%|*}
    target=${case#*|}
    query="refuse=$(python3 -c 'import sys,urllib.parse as u; print(u.quote(sys.argv[1], safe=""))' "$target")"
    if [ "$name" = trusted ] || [ "$name" = redirected ]; then
        run_trusting "$(probe_link "$query")"
    else
        run_player "$(probe_link "$query")"
    fi
    check "$name: the page is still there afterwards" \
        wait_for 30 has_report still-here "/content/probe.html?$query"
    shot "refused-$name"
    check "$name: the refused host never got the request" test -z "$(requests | grep ' /content/opened.html')"
    check "$name: nothing reached the impostor" sh -c "! curl -s '$control/__log' | grep -q '\"listener\":\"attacker\"'"
    stop_player
done

section "frames"
# 4. A third-party frame posts print and full-screen requests: nothing happens (with a window
#    manager, so that full screen would show).
openbox --sm-disable >/dev/null 2>&1 &
wm=$!
sleep 1
run_player "$(probe_link frame=1)"
check "the frame reaches the message handler, but has no bridge" \
    wait_for 30 has_report frame "posted handler=true bridge=false"
sleep 3
size=$(reported frame-size)
check "the window stays framed (page ${size:-unreported}, the screen is 1280x800)" \
    sh -c "[ -n '$size' ] && [ '$size' != 1280x800 ]"
check "no printer picker opens" sh -c "! xdotool search --onlyvisible --name '^Select Printer$'"
check "the player ignored the frame's messages" grep -q "frame other than the top document" "$work/player.log"
shot frame-messages
stop_player

section done
echo "$failures failed"
[ "$failures" -eq 0 ]
