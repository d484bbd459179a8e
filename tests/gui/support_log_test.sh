#!/usr/bin/env bash
# The support log after a real link, under a virtual display (run through xvfb-run) against
# the stand-in platform service: the player's trace lines arrive in
# $XDG_STATE_HOME/kestrum/kestrum.log with UTC time stamps, where kestrum-tool log-path says,
# and neither the link's token, content nor server is in it.
#   support_log_test.sh <kestrum> <kestrum-tool> <kestrum-platform>
set -u
player=$1
tool=$2
platform=$3
work=$(mktemp -d)
source "$(dirname "$0")/gui_test_lib.sh"
private_home
export XDG_STATE_HOME=$work/state
running=
cleanup() {
    [ -n "$running" ] && kill "$running" 2>/dev/null && wait "$running" 2>/dev/null
    stop_dialogs
    stop_standin
    rm -rf "$work"
}
trap cleanup EXIT

start_standin --port 8443 --control-port 0
link=$(catalogue_link lesson-page)
[ -n "$link" ] || {
    echo "the stand-in listed no lesson-page link"
    exit 1
}
file=$("$tool" log-path)
check "log-path names the file under XDG_STATE_HOME" [ "$file" = "$work/state/kestrum/kestrum.log" ]

"$player" "$link" >"$work/player.err" 2>&1 &
running=$!
check "the page loads and the log says so" \
    wait_for 60 grep -q 'Page load finished' "$file"
kill "$running" 2>/dev/null
wait "$running" 2>/dev/null
running=

check "the start is noted with the version" grep -qE '^[^ ]+ Kestrum [0-9]+\.[0-9]+\.[0-9]+ started$' "$file"
check "the link was taken" grep -q 'ParseSchemeArgs succeeded' "$file"
check "the content came from the service" grep -q 'Page load finished' "$file"
bad=$(grep -cvE '^[0-9]{4}-[0-9]{2}-[0-9]{2}T[0-9]{2}:[0-9]{2}:[0-9]{2}\.[0-9]{3}Z ' "$file")
check "every line starts with a UTC time stamp ($bad without)" [ "$bad" -eq 0 ]
check "the server's trace line is kept, its value withheld" \
    grep -qx '[^ ]* Decrypted OK. Domain: \[withheld\]' "$file"

# The link's plain values as the tool decodes them, and the token the service was sent.
values=$("$tool" decode-link "$link")
for field in token content server; do
    value=$(python3 -c 'import json,sys; print(json.loads(sys.argv[1])[sys.argv[2]])' "$values" "$field")
    check "the link's $field is known ($value)" [ -n "$value" ]
    check "the link's $field is not in the log" sh -c "! grep -qF -- '$value' '$file'"
done
# The player's standard error still carries the full trace: the check above is not blind.
check "the debug log on standard error does name the server" \
    grep -qF "Decrypted OK. Domain: $(python3 -c 'import json,sys; print(json.loads(sys.argv[1])["server"])' "$values")" "$work/player.err"

echo "$failures failed"
[ "$failures" -eq 0 ]
