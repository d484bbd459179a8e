#!/usr/bin/env bash
# Installs what is needed, builds the player and runs its main job: our stand-in platform
# service starts on loopback and the player plays a content link from its catalogue, as a
# learner's click on a platform page would start it.
#   play.sh [content]   content: a catalogue name (default lesson-page); --help lists them
#   play.sh --clean     removes what the player wrote into $HOME
# With a display the player opens there and the job ends when its window is closed. Without
# one it runs under a virtual display, saves a screenshot and says where it is.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

# The stand-in's catalogue as the demo shows it: name | how it ends | what it is.
# page: the content's page loads in the player; box: the player refuses the link with a
# message box (that box is what the content demonstrates).
catalogue='lesson-page|page|a platform page shown as it is
lesson-video|page|a video file played in the page
lesson-youtube|page|a YouTube video embedded with a page script (needs the internet)
live-zoom|page|a Zoom meeting
live-zoom-other-type|page|a Zoom address under another content type
notes-pdf|page|a PDF document in the viewer (printable)
notes-pdf-url|page|a PDF document by its address
interactive|page|a page shown through the generated frame
direct-address|page|an address carried in the link itself
expired-session|box|refused: the session has ended
unknown-lesson|box|refused: no such lesson
withdrawn|box|refused, with the reason in Arabic
start|page|no link: the start window on the stand-in'"'"'s site'

data_home=${XDG_DATA_HOME:-$HOME/.local/share}
config_home=${XDG_CONFIG_HOME:-$HOME/.config}
state_home=${XDG_STATE_HOME:-$HOME/.local/state}
# What the player writes into $HOME on every start (its own files, nothing else).
home_files="  $data_home/applications/kestrum.desktop   (the kestrum: link handler)
  $data_home/icons/hicolor/256x256/apps/kestrum.png   (its icon)
  the x-scheme-handler/kestrum line of $config_home/mimeapps.list
  $data_home/Kestrum/   (the browser's data)
  $state_home/kestrum/   (the player's log)"

usage() {
    cat <<USAGE
Usage: scripts/play.sh [content]    plays one content (default lesson-page)
       scripts/play.sh --clean      removes what the player wrote into \$HOME
       scripts/play.sh --help

The catalogue (name, how the demo ends, what it is):
USAGE
    while IFS='|' read -r name ending summary; do
        printf '  %-22s %-5s %s\n' "$name" "$ending" "$summary"
    done <<<"$catalogue"
    cat <<USAGE

page: the content's page is shown; box: the player refuses the link with a message box.
The player writes into \$HOME (scripts/play.sh --clean removes it, also if an installed
Kestrum player wrote it):
$home_files
USAGE
}

clean() {
    rm -f "$data_home/applications/kestrum.desktop" \
        "$data_home/icons/hicolor/256x256/apps/kestrum.png"
    if [ -f "$config_home/mimeapps.list" ]; then
        sed -i '/^x-scheme-handler\/kestrum=/d' "$config_home/mimeapps.list"
    fi
    rm -rf "$data_home/Kestrum" "$state_home/kestrum"
    echo "== removed what the player wrote into \$HOME:"
    echo "$home_files"
}

case "${1:-}" in
    -h | --help) usage; exit 0 ;;
    --clean) clean; exit 0 ;;
    -*) echo "unknown option '$1'" >&2; usage >&2; exit 2 ;;
esac
content=${1:-lesson-page}
entry=$(awk -F'|' -v name="$content" '$1 == name' <<<"$catalogue")
if [ -z "$entry" ]; then
    echo "no such content '$content'" >&2
    usage >&2
    exit 2
fi
ending=$(cut -d'|' -f2 <<<"$entry")

bash scripts/install-deps.sh build
# The test command's build folder: reused when it is there (only these targets are brought up
# to date); otherwise made once here with only these targets, and the test command adds the rest.
build=$root/build/native
if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKESTRUM_BUILD_TESTS=OFF >/dev/null
fi
cmake --build "$build" -j"$(nproc)" --target kestrum kestrum-tool kestrum-platform \
    kestrum-screenshot

work=$(mktemp -d)
service_out=$work/service.out
"$build/tools/kestrum_platform/kestrum-platform" --port 8443 >"$service_out" 2>&1 &
service_pid=$!
trap 'kill $service_pid 2>/dev/null; wait $service_pid 2>/dev/null; rm -rf "$work"' EXIT
for _ in $(seq 1 100); do
    grep -q '^ready' "$service_out" && break
    kill -0 $service_pid 2>/dev/null || break
    sleep 0.1
done
if ! grep -q '^ready' "$service_out"; then
    cat "$service_out"
    # The player's profile names this port: another service there would answer it instead.
    if grep -q 'already in use' "$service_out"; then
        echo "== port 8443 is taken (another stand-in, a test run or another program):" \
             "stop it, then run scripts/play.sh again"
    fi
    exit 1
fi
echo "== the stand-in platform service is up: $(sed -n 's/^listening platform //p' "$service_out")"

link=
if [ "$content" != start ]; then
    link=$(sed -nE "s/^link $content (kestrum:.*)/\1/p" "$service_out")
    if [ -z "$link" ]; then
        echo "the stand-in has no link '$content'"
        exit 1
    fi
    echo "== the link '$content', as the player reads it"
    "$build/kestrum-tool" decode-link "$link" || true
fi
echo "== the player writes into \$HOME (undo with: scripts/play.sh --clean):"
echo "$home_files"

if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
    if [ "$ending" = box ]; then
        echo "== playing '$content': the player refuses it with a message box; close the box to end"
    else
        echo "== playing '$content' in the player; close its window to end"
    fi
    "$build/kestrum" ${link:+"$link"}
    exit $?
fi

shots=$build/screenshots
mkdir -p "$shots"
shot=$shots/$content.png
echo "== no display here: playing '$content' under a virtual display"
cat >"$work/session.sh" <<SESSION
"$build/kestrum" ${link:+'$link'} &
player=\$!
# Until the content's first page has loaded or the link is refused, at most 40 s; then a
# moment to paint.
for _ in \$(seq 1 400); do
    grep -qE '^(Page load finished|ParseSchemeArgs failed)' "$work/player.log" 2>/dev/null && break
    kill -0 \$player 2>/dev/null || break
    sleep 0.1
done
sleep 3
"$build/kestrum-screenshot" "$shot"
# A player still running here waits for its window or its box to be closed.
kill -0 \$player 2>/dev/null && echo running >"$work/still-running"
kill \$player 2>/dev/null
wait \$player 2>/dev/null
true
SESSION
NO_AT_BRIDGE=1 xvfb-run -a -s "-screen 0 1280x800x24 -nolisten tcp" \
    bash "$work/session.sh" 2>"$work/player.log" || true
sed 's/^/   player: /' "$work/player.log" | tail -25
echo "== screenshot: $shot$([ -s "$shot" ] || echo ' (none was made)')"

shown=
if grep -q '^ParseSchemeArgs failed' "$work/player.log" && [ -f "$work/still-running" ]; then
    shown=box
elif grep -q '^Page load finished' "$work/player.log"; then
    shown=page
fi
if [ -s "$shot" ] && [ "$shown" = "$ending" ]; then
    if [ "$ending" = box ]; then
        echo "== shown: the player refused '$content' with its message box, as this content does"
    else
        echo "== shown: the player showed '$content'"
    fi
else
    echo "== the player did not show '$content' as expected (expected: ${ending}," \
         "seen: ${shown:-nothing}; see its lines above)"
    exit 1
fi
