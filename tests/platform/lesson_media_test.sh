#!/usr/bin/env bash
# The stand-in's lesson videos as a media player fetches them: whole, and by ranges (a player
# resumes a paused download with "Range: bytes=N-", which must be answered 206 with exactly
# those bytes, or it stops with a network error).
#   lesson_media_test.sh <kestrum-platform>
set -u
platform=$1
work=$(mktemp -d)
service=
cleanup() {
    [ -n "$service" ] && kill "$service" 2>/dev/null && wait "$service" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
source "$(dirname "$0")/../gui/gui_test_lib.sh"

"$platform" --port 0 >"$work/service.out" 2>"$work/service.err" &
service=$!
wait_for 10 grep -q '^ready' "$work/service.out" || {
    echo "FAIL the stand-in did not start: $(cat "$work/service.err")"
    exit 1
}
base=$(sed -nE 's/^listening platform ([^ ]+).*/\1/p' "$work/service.out")/content/media
fetch() {  # name, curl options...: the body into $work/<name>, the head into $work/<name>.head
    local name=$1
    shift
    curl -sk -D "$work/$name.head" -o "$work/$name" "$@"
}
status() { head -1 "$work/$1.head" | tr -d '\r'; }
header() { sed -nE "s/^$2: (.*)\r$/\1/ip" "$work/$1.head"; }
bytes_at() { od -An -tx1 -j "$2" -N "$3" "$work/$1" | tr -d ' \n'; }

# name, type, what its first bytes are (MP4: a box whose type is "ftyp"; WebM: EBML), codecs
for form in "mp4 video/mp4 4 66747970 avc1 mp4a" "webm video/webm 0 1a45dfa3 V_VP8 A_VORBIS"; do
    read -r name type at magic video audio <<<"$form"
    fetch "$name" "$base/lesson-video.$name"
    size=$(stat -c %s "$work/$name")
    check "$name: 200 OK" [ "$(status "$name")" = "HTTP/1.1 200 OK" ]
    check "$name: as $type" [ "$(header "$name" Content-Type)" = "$type" ]
    check "$name: offers ranges" [ "$(header "$name" Accept-Ranges)" = bytes ]
    check "$name: a real video ($size bytes)" [ "$size" -gt 100000 ]
    check "$name: in its container" [ "$(bytes_at "$name" "$at" 4)" = "$magic" ]
    check "$name: with $video video and $audio audio" \
        sh -c "grep -qa '$video' '$work/$name' && grep -qa '$audio' '$work/$name'"

    for range in "1000-" "1000-1999" "$((size - 10))-"; do
        fetch part -H "Range: bytes=$range" "$base/lesson-video.$name"
        first=${range%-*}
        last=${range#*-}
        [ -n "$last" ] || last=$((size - 1))
        check "$name $range: 206 Partial Content" \
            [ "$(status part)" = "HTTP/1.1 206 Partial Content" ]
        check "$name $range: names its bytes" \
            [ "$(header part Content-Range)" = "bytes $first-$last/$size" ]
        check "$name $range: and holds exactly them" \
            cmp -s "$work/part" <(tail -c +$((first + 1)) "$work/$name" | head -c $((last - first + 1)))
    done
done

echo "$failures failed"
[ "$failures" -eq 0 ]
