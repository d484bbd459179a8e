#!/usr/bin/env bash
# Installs what is needed, builds the player and runs its main job: our stand-in platform
# service starts on loopback and the player plays a content link from its catalogue, as a
# learner's click on a platform page would start it.
#   play.sh [content]   content: a catalogue name (default lesson-page), for example
#                       notes-pdf, interactive, lesson-video, live-zoom, or "start" for the
#                       player without a link (the start window on the platform's site)
# With a display the player opens there and the job ends when its window is closed. Without
# one it runs under a virtual display for a while, saves a screenshot and says where it is.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
content=${1:-lesson-page}

bash scripts/install-deps.sh build
cmake -S . -B build/player -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKESTRUM_BUILD_TESTS=OFF >/dev/null
cmake --build build/player -j"$(nproc)" --target kestrum kestrum-tool kestrum-platform \
    kestrum-screenshot

build=$root/build/player
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
        echo "== port 8443 is taken (another stand-in, test run or program); stop it and run" \
             "play.sh again"
    fi
    exit 1
fi
echo "== the stand-in platform service is up: $(sed -n 's/^listening platform //p' "$service_out")"

link=
if [ "$content" != start ]; then
    link=$(sed -nE "s/^link $content (kestrum:.*)/\1/p" "$service_out")
    if [ -z "$link" ]; then
        echo "no such content '$content'; the catalogue has:"
        sed -nE 's/^link ([^ ]+) .*/  \1/p' "$service_out"
        exit 2
    fi
    echo "== the link '$content', as the player reads it"
    "$build/kestrum-tool" decode-link "$link" || true
fi

if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
    echo "== playing '$content' in the player; close its window to end"
    "$build/kestrum" ${link:+"$link"}
    exit $?
fi

shots=$root/build/player/screenshots
mkdir -p "$shots"
shot=$shots/$content.png
echo "== no display here: playing '$content' under a virtual display"
cat >"$work/session.sh" <<SESSION
"$build/kestrum" ${link:+'$link'} &
player=\$!
# Until the content's first page has loaded, at most 40 s; then a moment to paint.
for _ in \$(seq 1 400); do
    grep -q '^Page load finished' "$work/player.log" 2>/dev/null && break
    kill -0 \$player 2>/dev/null || break
    sleep 0.1
done
sleep 3
"$build/kestrum-screenshot" "$shot"
kill \$player 2>/dev/null
wait \$player 2>/dev/null
true
SESSION
NO_AT_BRIDGE=1 xvfb-run -a -s "-screen 0 1280x800x24 -nolisten tcp" \
    bash "$work/session.sh" 2>"$work/player.log" || true
sed 's/^/   player: /' "$work/player.log" | tail -25
if grep -q '^Page load finished' "$work/player.log" && [ -s "$shot" ]; then
    echo "== the player showed '$content'; screenshot: $shot"
else
    echo "== the player did not show '$content' (see its lines above)"
    exit 1
fi
