#!/usr/bin/env bash
# The loading overlay as a learner sees it, under a virtual display (run through xvfb-run):
# while a lesson's page is slow to come, the window is the overlay's dark grey with its
# spinner (a blue arc that turns) and its text; once the page has come, the overlay is gone
# and the page is seen.
#   loader_overlay_test.sh <kestrum> <kestrum-platform> <screenshot> <pixel_check> <shots dir>
set -u
player=$1 platform=$2 screenshot=$3 pixels=$4 shots=$5
mkdir -p "$shots" && rm -f "$shots"/overlay-*.png
work=$(mktemp -d)
source "$(dirname "$0")/gui_test_lib.sh"
private_home
running=
cleanup() {
    [ -n "$running" ] && kill "$running" 2>/dev/null && wait "$running" 2>/dev/null
    stop_standin
    rm -rf "$work"
}
trap cleanup EXIT

# The page is framed by the player's own page, whose overlay shows until the frame's page has
# come (5 s at most): the stand-in holds that page back for 4 s.
start_standin --port 8443 --control-port 0 --slow-path /content/interactive.html=4
count() { "$pixels" count "$1" "$2" "$3" 0 0 1280 720; }

"$player" "$(catalogue_link interactive)" >"$work/player.log" 2>&1 &
running=$!
# Pictures as fast as the machine takes them (a picture takes a while on a busy machine),
# read afterwards, until the page has come or 30 s have passed.
overlays=()
page=
deadline=$((SECONDS + 30))
for n in $(seq -w 1 200); do
    [ "$SECONDS" -lt "$deadline" ] || break
    picture=$shots/overlay-$n.png
    "$screenshot" "$picture" >/dev/null 2>&1 || continue
    if [ "$(count "$picture" 202020 6)" -gt 500000 ]; then
        overlays+=("$picture")
    elif [ ${#overlays[@]} -gt 0 ] && [ "$(count "$picture" ffffff 0)" -gt 300000 ]; then
        page=$picture
        break
    fi
done

check "the overlay covered the window (${#overlays[@]} pictures)" [ ${#overlays[@]} -gt 0 ]
# Its blue arc and its white text, in every picture of it but the last, which may have caught
# it fading out.
shows_spinner_and_text() {
    local picture shown=("${overlays[@]}")
    [ ${#shown[@]} -gt 1 ] && unset 'shown[-1]'
    for picture in "${shown[@]}"; do
        [ "$(count "$picture" 3498db 40)" -gt 150 ] && [ "$(count "$picture" ffffff 60)" -gt 200 ] ||
            return 1
    done
}
check "with its spinner and its text" shows_spinner_and_text
# A turn takes a second: pictures taken at different moments show the arc's middle in
# different places (two alike to the pixel are as likely as a whole number of turns between).
arcs=$(for picture in "${overlays[@]}"; do "$pixels" centre "$picture" 3498db 40; done | sort -u)
check "the spinner turns (its arc's middle: $(echo $arcs | tr ' ' ','))" \
    [ "$(wc -l <<<"$arcs")" -ge 2 ]
check "once the page has come, the overlay is gone and the page is seen" [ -n "$page" ]
grep -q 'Page load finished' "$work/player.log" || echo "     player: $(tail -3 "$work/player.log")"

echo "$failures failed"
[ "$failures" -eq 0 ]
