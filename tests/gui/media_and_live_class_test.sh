#!/usr/bin/env bash
# Video lessons and live classes as a learner meets them, under a virtual display (run through
# xvfb-run), against the stand-in platform service:
#   1. lesson videos play: the engine can play H.264/AAC in MP4 and VP8/Vorbis in WebM, the
#      video's time advances, and its moving colour bars are on the screen, also for the
#      catalogue's lesson video as the learner's link shows it;
#   2. a live class where the engine has no video calls: the player's own page says so, and its
#      button hands the meeting address, alone, to the desktop's default web browser;
#   3. pages' permission requests: the location and the screen are asked of the learner, whose
#      "No" refuses them; notifications are granted.
#   media_and_live_class_test.sh <kestrum> <kestrum-tool> <kestrum-platform> <screenshot>
#                                <pixel_check> <shots dir>
set -u
player=$1
tool=$2
platform=$3
screenshot=$4
pixels=$5
shots=$6
mkdir -p "$shots"
work=$(mktemp -d)
export HOME=$work/home XDG_RUNTIME_DIR=$work/run NO_AT_BRIDGE=1
export XDG_DATA_HOME=$work/data XDG_CONFIG_HOME=$work/config XDG_DATA_DIRS=$work/data:/usr/local/share:/usr/share
mkdir -p "$HOME" "$XDG_RUNTIME_DIR" "$XDG_DATA_HOME/applications" "$XDG_CONFIG_HOME"
chmod 700 "$XDG_RUNTIME_DIR"
source "$(dirname "$0")/gui_test_lib.sh"
# Waits by the clock (the checks here read the service's log, which takes a while on a busy
# machine): seconds, command...
wait_until() {
    local deadline=$((SECONDS + $1))
    shift
    until "$@" >/dev/null 2>&1; do
        [ "$SECONDS" -lt "$deadline" ] || return 1
        sleep 0.2
    done
}
service=
running=
cleanup() {
    [ -n "$running" ] && kill "$running" 2>/dev/null && wait "$running" 2>/dev/null
    [ -n "$service" ] && kill "$service" 2>/dev/null && wait "$service" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

# The desktop's default web browser, for this test: a program that writes down its arguments.
cat >"$work/browser.sh" <<EOF
#!/bin/sh
for argument in "\$@"; do printf '%s\n' "\$argument"; done >"$work/browser.args"
EOF
chmod +x "$work/browser.sh"
cat >"$XDG_DATA_HOME/applications/test-browser.desktop" <<EOF
[Desktop Entry]
Type=Application
Name=Test browser
Exec=$work/browser.sh %u
MimeType=x-scheme-handler/http;x-scheme-handler/https;
EOF
printf '[Default Applications]\nx-scheme-handler/https=test-browser.desktop\n' \
    >"$XDG_CONFIG_HOME/mimeapps.list"

"$platform" --port 8443 --control-port 0 >"$work/service.out" 2>"$work/service.err" &
service=$!
wait_until 10 grep -q '^ready' "$work/service.out" || {
    echo "the stand-in service did not start:"
    cat "$work/service.err"
    exit 1
}
control=$(sed -nE 's/^listening control ([^ ]+).*/\1/p' "$work/service.out")
catalogue_link() { sed -nE "s/^link $1 (kestrum:.*)/\1/p" "$work/service.out"; }
page_link() {  # path and query on the stand-in
    "$tool" mint-link --token probe --content "https://localhost:8443$1" \
        --server https://localhost:8443
}
log() { curl -s "$control/__log"; }
reported() {
    log | python3 -c 'import json,sys,urllib.parse as u
for e in json.load(sys.stdin):
    if e["path"] == "/__test/report":
        q = dict(u.parse_qsl(e["query"]))
        if q.get("name") == sys.argv[1]: print(q.get("value", ""))' "$1"
}
has_report() { [ "$(reported "$1")" = "$2" ]; }
requested() { log | grep -q "\"path\":\"$1\""; }
run_player() {  # link
    curl -s -X POST -d '' "$control/__log/clear" >/dev/null
    "$player" "$1" >"$work/player.log" 2>&1 &
    running=$!
}
stop_player() {
    kill "$running" 2>/dev/null
    wait "$running" 2>/dev/null
    running=
}
shot() { "$screenshot" "$shots/$1.png"; }
count() { "$pixels" count "$shots/$1.png" "${@:2}"; }
# The colour bars of the lesson video: yellow, cyan and magenta, each over a wide area.
shows_colour_bars() {
    local colour
    for colour in ffff00 00ffff ff00ff; do
        [ "$(count "$1" "$colour" 40)" -gt 4000 ] || return 1
    done
}

# 1. Lesson videos.
for form in mp4 webm; do
    run_player "$(page_link "/content/video-probe.html?$form")"
    check "$form: the probe page loads" wait_until 30 has_report can-play-mp4-h264-aac probably
    for kind in mp4-h264 mp4-h264-aac webm-vp8-vorbis webm-vp9-opus; do
        check "$form: canPlayType says \"probably\" for $kind" has_report "can-play-$kind" probably
    done
    check "$form: the video starts" wait_until 15 has_report play started
    wait_until 10 has_report advanced true
    check "$form: its time advances ($(reported time))" has_report advanced true
    error=$(reported error)
    check "$form: no media error ($error)" [ -z "$error" ]
    shot "video-$form-1"
    sleep 1
    shot "video-$form-2"
    check "$form: its colour bars are on the screen" shows_colour_bars "video-$form-1"
    moved=$("$pixels" differ "$shots/video-$form-1.png" "$shots/video-$form-2.png" 0 0 640 480)
    check "$form: and they move ($moved pixels changed in a second)" [ "$moved" -gt 2000 ]
    stop_player
done

run_player "$(catalogue_link lesson-video)"
if wait_until 30 requested /content/media/lesson-video.mp4; then
    ok "the catalogue's lesson video is fetched"
else
    fail "the catalogue's lesson video is fetched"
    echo "     the player's output:"
    tail -20 "$work/player.log" | sed 's/^/     | /'
fi
# Once the loading overlay is gone, the bars show and move.
bars_on_screen() { shot "$1" && shows_colour_bars "$1"; }
check "the lesson video shows its colour bars" wait_until 20 bars_on_screen lesson-video-1
sleep 1
shot lesson-video-2
moved=$("$pixels" differ "$shots/lesson-video-1.png" "$shots/lesson-video-2.png" 0 0 1280 720)
check "and plays: the bars move ($moved pixels changed in a second)" \
    test "$moved" -gt 2000 -a "$(count lesson-video-2 ffff00 40)" -gt 4000
stop_player

# 2. A live class: this engine has no WebRTC, so the player's own page offers the web browser.
meeting=https://us02web.zoom.us/j/81234567890?pwd=demo
for name in live-zoom live-zoom-other-type; do
    run_player "$(catalogue_link "$name")"
    check "$name: the player finds the engine without WebRTC" \
        wait_until 30 grep -q '^The engine has no WebRTC.$' "$work/player.log"
    # The page's button, in its own blue, on the page's dark background.
    shows_page() { shot "$name" && [ "$(count "$name" 2d8cff 12)" -gt 5000 ]; }
    check "$name: the player's own page shows its button" wait_until 20 shows_page
    check "$name: on the page's dark background" [ "$(count "$name" 121212 4)" -gt 300000 ]
    stop_player
done

run_player "$(catalogue_link live-zoom)"
shows_button() { shot live-class-before && "$pixels" centre "$shots/live-class-before.png" 2d8cff 12; }
wait_until 30 shows_button
button=$("$pixels" centre "$shots/live-class-before.png" 2d8cff 12)
if [ -n "$button" ]; then
    read -r x y <<<"$button"
    xdotool mousemove "$x" "$y" click 1
    check "the button opens the web browser" wait_until 10 test -s "$work/browser.args"
    check "with the meeting address as its only argument" \
        [ "$(cat "$work/browser.args" 2>/dev/null)" = "$meeting" ]
    sleep 1
    shot live-class-after
    # The answer appears under the button, in light text.
    answer=$("$pixels" count "$shots/live-class-after.png" f2f2f2 40 0 $((y + 30)) 1280 120)
    before=$("$pixels" count "$shots/live-class-before.png" f2f2f2 40 0 $((y + 30)) 1280 120)
    check "and the page says it is opening ($before, then $answer light pixels)" \
        [ "$answer" -gt $((before + 200)) ]
else
    fail "no button to press"
fi
stop_player

# 3. Permission requests. The location is asked once the page is first used, notifications
#    and the screen when its button is clicked; questions are answered "No" (the left half of
#    the box).
question_box() { xdotool search --onlyvisible --name '^Permission request' 2>/dev/null | head -1; }
has_question() { [ -n "$(question_box)" ]; }
answer_no() {
    local box
    box=$(question_box)
    [ -n "$box" ] || return 1
    eval "$(xdotool getwindowgeometry --shell "$box")"
    xdotool mousemove $((X + WIDTH / 4)) $((Y + HEIGHT - 12)) click 1
}
run_player "$(page_link /content/permission-probe.html)"
wait_until 30 grep -q '^Page load finished' "$work/player.log"
sleep 1
xdotool mousemove 640 300 click 1
check "the location is asked of the learner" wait_until 10 has_question
shot permission-question
answer_no
check "whose No refuses it" wait_until 10 has_report location "error 1"
# The page has the keyboard and the pointer now: its button asks for notifications and the
# screen.
sleep 1
xdotool mousemove 640 300 click 1
check "notifications are granted" wait_until 10 has_report notifications-on-click granted
sleep 1
if [ -n "$(question_box)" ]; then
    ok "screen sharing is asked of the learner"
    answer_no
    check "whose No refuses it" wait_until 10 has_report screen NotAllowedError
else
    # This engine turns the screen down before asking where no screen can be captured.
    screen=$(reported screen)
    check "screen sharing is not granted without asking ($screen)" [ "$screen" != granted ]
fi
stop_player

echo "$failures failed"
[ "$failures" -eq 0 ]
