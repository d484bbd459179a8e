#!/usr/bin/env bash
# kestrum-tool end to end: minted links decode, forged ones fail with the player's reasons,
# and diagnostic codes decode. Usage: kestrum_tool_test.sh "<tool command>" <profile.json>
set -u
tool=$1
profile=$2
failures=0

# Under Wine a short-lived program's output has once come back empty although it exited 0:
# a run with no output at all is made once more, and the second answer stands.
run() {
    local out
    out=$($tool "$@" 2>/dev/null | tr -d '\r')
    [ -z "$out" ] && out=$($tool "$@" 2>/dev/null | tr -d '\r')
    printf '%s\n' "$out"
}
check() {  # name expected actual
    if [ "$2" == "$3" ]; then
        echo "ok   $1"
    else
        echo "FAIL $1"
        echo "     expected: $2"
        echo "     actual:   $3"
        failures=$((failures + 1))
    fi
}

link=$(run mint-link --token 'tok/+=1' --content 'https://cdn.example.test/a b.mp4' --server 'https://server.test/')
check "minted link has the scheme and three parts" "4" "$(echo "$link" | awk -F: '{print NF}')"
check "minted link decodes" '{"token":"tok/+=1","content":"https://cdn.example.test/a b.mp4","server":"https://server.test"}' "$(run decode-link "$link")"

spaced=${link//+/ }
check "plus signs turned into blanks still decode" "$(run decode-link "$link")" "$(run decode-link "$spaced")"

check "no payload" "split_failed_parts_0" "$(run decode-link 'kestrum:')"
check "two parts" "split_failed_parts_2" "$(run decode-link 'kestrum:a:b:')"

# Forge the third part: decode its JSON, change a letter of "value", encode again.
third=${link##*:}
json=$(printf '%s' "$third" | base64 -d 2>/dev/null)
value=$(printf '%s' "$json" | sed -E 's/.*"value":"([^"]*)".*/\1/')
first=${value:0:1}
if [ "$first" == "A" ]; then swapped="B${value:1}"; else swapped="A${value:1}"; fi
forged_json=${json/\"value\":\"$value\"/\"value\":\"$swapped\"}
forged=$(printf '%s' "$forged_json" | base64 -w0)
check "forged part" "exception_MAC verification failed — data may be tampered" "$(run decode-link "${link%:*}:$forged")"

no_mac_json=$(printf '%s' "$json" | sed -E 's/,"mac":"[^"]*"//')
no_mac=$(printf '%s' "$no_mac_json" | base64 -w0)
check "part without a tag" "exception_MAC verification failed — data may be tampered" "$(run decode-link "${link%:*}:$no_mac")"

$tool decode-link 'kestrum:a:b' >/dev/null 2>&1
check "failure exits 1" "1" "$?"
$tool frobnicate >/dev/null 2>&1
check "unknown command exits 2" "2" "$?"

# A diagnostic code made here with the profile's key decodes to its text.
key=$(sed -nE 's/.*"diagnosticKey": *"([^"]*)".*/\1/p' "$profile")
text="ERRDIAG|v1|ts=1765000000|mk=ABCD|reason=split_failed_parts_1|END"
code=$(
    for ((i = 0; i < ${#text}; i++)); do
        t=$(printf '%d' "'${text:i:1}")
        k=$(printf '%d' "'${key:i%${#key}:1}")
        printf "\\x$(printf '%02x' $((t ^ k)))"
    done | base64 -w0
)
check "diagnostic code decodes" "$text" "$(run decode-diagnostic "$code")"

# What a support engineer types: help and version answer and succeed, text that is no
# diagnostic code is refused plainly, wrong arguments are a usage error.
status() { $tool "$@" >/dev/null 2>&1; echo $?; }
for case in "--help|0" "-h|0" "--version|0" "-V|0" "decode-diagnostic zzz|1" \
            "decode-diagnostic $(printf 'plain text' | base64 -w0)|1" "no-such-command|2"; do
    args=${case%|*}
    # shellcheck disable=SC2086
    check "exit status of: $args" "${case##*|}" "$(status $args)"
done
# Each command answers its own --help, and names what is wrong with its arguments.
for command in decode-link mint-link decode-diagnostic probe resolve-link log-path; do
    check "exit status of: $command --help" "0" "$(status "$command" --help)"
    check "$command --help shows its usage" "yes" \
        "$(run "$command" -h | grep -q "^usage: kestrum-tool .*$command" && echo yes)"
    check "tool --help lists $command" "yes" "$(run --help | grep -q " $command" && echo yes)"
done
wrong() { $tool "$@" 2>&1 >/dev/null | tr -d '\r' | head -1; }
for case in "decode-link|missing '<link>'" "decode-link a b|takes one argument, not 2" \
            "decode-diagnostic --zz|unknown option --zz" "probe|missing <url>" \
            "resolve-link a b c|takes one argument, not 3" "log-path extra|takes no arguments" \
            "mint-link --token a --content b|missing --server" \
            "mint-link --token a --content b --server|--server needs a value" \
            "mint-link --colour red|unknown option --colour"; do
    args=${case%|*}
    # shellcheck disable=SC2086
    check "exit status of: $args" "2" "$(status $args)"
    # shellcheck disable=SC2086
    check "error of: $args" "kestrum-tool ${args%% *}: ${case##*|}" "$(wrong $args)"
done

# The support log's place: under XDG_STATE_HOME on Linux, a Windows folder under Wine.
log=$(XDG_STATE_HOME=/state/home run log-path)
case $log in
    /*) check "log-path follows XDG_STATE_HOME" "/state/home/kestrum/kestrum.log" "$log"
        check "log-path without XDG_STATE_HOME" "/home/learner/.local/state/kestrum/kestrum.log" \
            "$(env -u XDG_STATE_HOME HOME=/home/learner $tool log-path 2>/dev/null)"
        check "a relative XDG_STATE_HOME is ignored" "/home/learner/.local/state/kestrum/kestrum.log" \
            "$(XDG_STATE_HOME=state HOME=/home/learner $tool log-path 2>/dev/null)" ;;
    *) check "log-path names the local application data folder" "yes" \
           "$(grep -qi '\\Kestrum\\kestrum.log$' <<<"$log" && echo yes)" ;;
esac

check "help names the commands" "yes" "$(run --help | grep -q decode-diagnostic && echo yes)"
check "a refused code prints no junk" "" "$(run decode-diagnostic zzz)"

echo "$failures failed"
[ "$failures" -eq 0 ]
