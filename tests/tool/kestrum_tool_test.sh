#!/usr/bin/env bash
# kestrum-tool end to end: minted links decode, forged ones fail with the player's reasons,
# and diagnostic codes decode. Usage: kestrum_tool_test.sh "<tool command>" <profile.json>
set -u
tool=$1
profile=$2
failures=0

run() { $tool "$@" 2>/dev/null | tr -d '\r'; }
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
check "help names the commands" "yes" "$(run --help | grep -q decode-diagnostic && echo yes)"
check "a refused code prints no junk" "" "$(run decode-diagnostic zzz)"

echo "$failures failed"
[ "$failures" -eq 0 ]
