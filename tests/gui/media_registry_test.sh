#!/usr/bin/env bash
# The media framework's registry after a start, under a virtual display (run through xvfb-run)
# against the stand-in platform service. A first start answers the media check without
# building the framework's registry (it would hold up the start); once the first page is in,
# the player has it built, so that later starts ask the registry. A start that never shows a
# page leaves it alone.
#   media_registry_test.sh <kestrum> <kestrum-platform>
set -u
player=$1
platform=$2
work=$(mktemp -d)
source "$(dirname "$0")/gui_test_lib.sh"
private_home
unset GST_PLUGIN_PATH GST_PLUGIN_PATH_1_0 GST_PLUGIN_SYSTEM_PATH GST_PLUGIN_SYSTEM_PATH_1_0 \
    GST_REGISTRY GST_REGISTRY_1_0 GST_REGISTRY_DISABLE
running=
cleanup() {
    [ -n "$running" ] && kill "$running" 2>/dev/null && wait "$running" 2>/dev/null
    stop_dialogs
    stop_standin
    rm -rf "$work"
}
trap cleanup EXIT
registry_in() { compgen -G "$1/gstreamer-1.0/registry.*.bin" >/dev/null; }
no_registry_in() { ! registry_in "$1"; }

start_standin --port 8443 --control-port 0
link=$(catalogue_link lesson-page)
[ -n "$link" ] || {
    echo "the stand-in listed no lesson-page link"
    exit 1
}

# A link that cannot be read ends in the diagnostic dialog, before any page.
export XDG_CACHE_HOME=$work/cache-refused
"$player" "kestrum:not-a-link" >"$work/refused.err" 2>&1 &
running=$!
check "a refused link ends in the diagnostic dialog" wait_for 60 has_dialog
wait "$running" 2>/dev/null
running=
stop_dialogs
sleep 3
check "a start without a page builds no registry" no_registry_in "$XDG_CACHE_HOME"

export XDG_CACHE_HOME=$work/cache
"$player" "$link" >"$work/player.err" 2>&1 &
running=$!
check "the page loads" wait_for 60 grep -q 'Page load finished' "$work/player.err"
# At the lowest priority: on a busy machine it may take a while.
check "the registry is built after the first page" wait_for 180 registry_in "$XDG_CACHE_HOME"
check "the player still shows its page" kill -0 "$running"
kill "$running" 2>/dev/null
wait "$running" 2>/dev/null
running=

echo "$failures failed"
[ "$failures" -eq 0 ]
