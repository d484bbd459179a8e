#!/usr/bin/env bash
# kestrum-media-check, the player's media question: on a first start (no registry yet) it
# looks only in the plugins that usually hold the components, and its answer must be the one
# a full scan gives, whether every component is there or some are not.
# Usage: media_check_test.sh <kestrum-media-check>
set -u
check_program=$1
failures=0
fail() { echo "FAIL $*"; failures=$((failures + 1)); }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

framework=$(ldconfig -p | awk '/libgstreamer-1\.0\.so\.0 .*x86-64/ { print $NF; exit }')
[ -n "$framework" ] || { echo "no media framework on this system"; exit 1; }
plugins=$(dirname "$framework")/gstreamer-1.0

# One run with a home of its own, as on a first start. Prints the answer, then "exit N".
ask() {  # home folder, arguments...
    local home=$1
    shift
    mkdir -p "$home"
    env -u XDG_CACHE_HOME -u GST_PLUGIN_PATH -u GST_PLUGIN_PATH_1_0 -u GST_PLUGIN_SYSTEM_PATH \
        -u GST_PLUGIN_SYSTEM_PATH_1_0 -u GST_REGISTRY -u GST_REGISTRY_1_0 HOME="$home" \
        "${extra_env[@]}" timeout 60 "$check_program" "$@" 2>>"$work/stderr"
    echo "exit $?"
}
registry_built() { compgen -G "$1/.cache/gstreamer-1.0/registry.*.bin" >/dev/null; }

# The system as it is, and a framework that sees only some of the plugins: its library copied
# into a folder whose "gstreamer-1.0" holds links to the MP4, WebM and VP8/VP9 plugins (the
# framework looks for its plugins beside its library).
mkdir -p "$work/partial/gstreamer-1.0"
cp "$framework" "$work/partial/"
for plugin in isomp4 matroska vpx; do
    ln -s "$plugins/libgst$plugin.so" "$work/partial/gstreamer-1.0/"
done
for case in "system||yes" "partial|LD_LIBRARY_PATH=$work/partial|"; do
    IFS='|' read -r name setting all_there <<<"$case"
    extra_env=()
    [ -n "$setting" ] && extra_env=("$setting")
    first=$(ask "$work/$name-first")
    full=$(ask "$work/$name-full" --scan-all)
    [ "$first" = "$full" ] ||
        fail "$name: a first start answered '$first', the full scan '$full'"
    [ "${full##*$'\n'}" = "exit 0" ] || fail "$name: the full scan failed: $full"
    if [ -n "$all_there" ]; then
        [ "$full" = "exit 0" ] || fail "$name: components missing on the test machine: $full"
        # Found in their own plugins: no registry was built for it.
        registry_built "$work/$name-first" && fail "$name: the first start built a registry"
    else
        grep -q "H.264 video decoder" <<<"$full" ||
            fail "$name: the decoders' plugin is hidden, yet nothing is missing: $full"
        grep -q "MP4 container" <<<"$full" && fail "$name: the MP4 plugin was not found"
        # Not all found in their own plugins: the answer came from a full scan.
        registry_built "$work/$name-first" || fail "$name: the answer came without a full scan"
    fi
    # Once a registry exists, it is asked directly.
    again=$(ask "$work/$name-full")
    [ "$again" = "$full" ] || fail "$name: with a registry it answered '$again'"
done

extra_env=()
out=$(ask "$work/usage" --everything)
[ "$out" = "exit 2" ] || fail "a wrong argument: $out"
grep -q "usage: kestrum-media-check" "$work/stderr" || fail "a wrong argument gave no usage"

echo "$failures failed"
[ "$failures" -eq 0 ]
