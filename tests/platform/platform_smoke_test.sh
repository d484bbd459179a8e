#!/usr/bin/env bash
# kestrum-platform end to end: its keys match the profile's pins, it presents the right
# chains (and the attacker the wrong ones), every endpoint answers as the player expects,
# strict checks refuse malformed content requests, the log records what clients sent, and
# it stops promptly. Usage: platform_smoke_test.sh <kestrum-platform> <profile.json> <kestrum-tool>
set -u
server=$1
profile=$2
tool=$3
failures=0
work=$(mktemp -d)
pids=()

cleanup() {
    for pid in "${pids[@]}"; do
        kill "$pid" 2>/dev/null
    done
    for pid in "${pids[@]}"; do
        wait "$pid" 2>/dev/null
    done
    rm -rf "$work"
}
trap cleanup EXIT

check() { # name expected actual
    if [ "$2" == "$3" ]; then
        echo "ok   $1"
    else
        echo "FAIL $1"
        echo "     expected: $2"
        echo "     actual:   $3"
        failures=$((failures + 1))
    fi
}

pin_of_pem() { openssl x509 -pubkey -noout | openssl pkey -pubin -outform der |
    openssl dgst -sha256 -binary | base64; }

# start <name> <args...>: runs the server, waits (at most 10 s) for "ready", sets
# <name>_pid and <name>_out.
start() {
    local name=$1
    shift
    local out="$work/$name.out"
    "$server" "$@" >"$out" 2>"$work/$name.err" &
    local pid=$!
    pids+=("$pid")
    eval "${name}_pid=$pid ${name}_out=$out"
    for _ in $(seq 100); do
        grep -q '^ready$' "$out" && return 0
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    echo "FAIL $name did not start: $(cat "$work/$name.err")"
    exit 1
}
port_of() { sed -nE "s|^listening $2 https?://[0-9.]+:([0-9]+).*|\1|p" "$1"; }

profile_pins=$(jq -r '.defaultPins.pins[]' "$profile")
profile_scope=$(jq -r '.defaultPins.scope' "$profile")
path_of() { jq -r ".$1" "$profile" | sed -E 's|^https?://[^/]*||'; }
pins_path=$(path_of pinsUrl)
version_path=$(path_of versionUrl)
content_path=$(path_of contentPath)
script_prefix=$(path_of pageScriptUrlPrefix)
start_path=$(path_of startUrl)
token_field=$(jq -r '.contentFormFields.token' "$profile")
content_field=$(jq -r '.contentFormFields.content' "$profile")
m() { jq -r ".contentMembers.$1" "$profile"; }

# --- Keys and pins ------------------------------------------------------------------------
"$server" --write-chain "$work/chain" >"$work/write.out" 2>&1
check "write-chain succeeds" "0" "$?"
check "printed pins are the profile's default pins, in order" "$profile_pins" \
    "$(sed -nE 's/^pin [a-z]+ //p' "$work/write.out")"
written_pins=$(for f in ca intermediate leaf; do pin_of_pem <"$work/chain/$f.pem"; done)
check "written certificates carry the first three pins" "$(echo "$profile_pins" | head -3)" \
    "$written_pins"
check "written chain verifies from the root" "$work/chain/leaf.pem: OK" \
    "$(openssl verify -CAfile "$work/chain/ca.pem" -untrusted "$work/chain/intermediate.pem" \
        "$work/chain/leaf.pem" 2>&1)"
check "leaf.key is the leaf's key" "$(openssl x509 -in "$work/chain/leaf.pem" -pubkey -noout)" \
    "$(openssl pkey -in "$work/chain/leaf.key" -pubout)"
check "every pin is 44 characters of bare Base64" "4" \
    "$(echo "$profile_pins" | grep -cE '^[A-Za-z0-9+/]{43}=$')"

# --- Start --------------------------------------------------------------------------------
start main --port 0 --control-port 0 --attacker-port 0 \
    --slow-path "$start_path/login=30" --redirect-path "/moved=$start_path"
port=$(port_of "$main_out" platform)
control="http://127.0.0.1:$(port_of "$main_out" control)"
attacker_port=$(port_of "$main_out" attacker)
origin="https://localhost:$port"
tls=(--max-time 5 -sS --cacert "$work/chain/ca.pem" --resolve "localhost:$port:127.0.0.1")
get() { curl "${tls[@]}" "$origin$1"; }
status() { curl "${tls[@]}" -o /dev/null -w '%{http_code}' "$@"; }

# --- Served chains ------------------------------------------------------------------------
served_pins() { # address port: the pins of the certificates sent, in order
    timeout 10 openssl s_client -connect "$1:$2" -servername localhost -showcerts </dev/null \
        2>/dev/null | awk '/BEGIN CERT/{n++} n{print > "'"$work"'/served-" n ".pem"} /END CERT/{n=n}'
    for f in "$work"/served-*.pem; do pin_of_pem <"$f"; done
    rm -f "$work"/served-*.pem
}
check "the service sends leaf then intermediate, not the root" \
    "$(echo "$profile_pins" | sed -n '3p;2p' | tac)" "$(served_pins 127.0.0.1 "$port")"
check "a client trusting only our root accepts localhost" "200" "$(status "$origin/")"
check "and accepts 127.0.0.1 by address" "200" \
    "$(curl --max-time 5 -sS --cacert "$work/chain/ca.pem" -o /dev/null -w '%{http_code}' \
        "https://127.0.0.1:$port/")"
attacker_pins=$(served_pins 127.0.0.2 "$attacker_port")
check "the wrong-key attacker sends two certificates" "2" "$(echo "$attacker_pins" | grep -c .)"
check "none of them carries a pinned key" "" "$(grep -Fxf <(echo "$profile_pins") <<<"$attacker_pins")"
curl --max-time 5 -sS -o /dev/null --cacert "$work/chain/ca.pem" \
    --resolve "localhost:$attacker_port:127.0.0.2" "https://localhost:$attacker_port/" 2>/dev/null
check "the wrong-key attacker fails verification under our root" "60" "$?"

# --- Pins document ------------------------------------------------------------------------
pins_doc=$(get "$pins_path")
check "pins document: one entry for the profile's scope" "1 $profile_scope" \
    "$(jq -r 'length, .[0].scope' <<<"$pins_doc" | paste -sd' ')"
check "pins document: the profile's pins with the sha256/ prefix" \
    "$(echo "$profile_pins" | sed 's|^|sha256/|')" "$(jq -r '.[0].pins[]' <<<"$pins_doc")"

settings() { curl --max-time 5 -sS -X POST --data-binary "$1" "$control/__settings"; }
while IFS='|' read -r mode expected; do
    settings "{\"pins\": \"$mode\"}" >/dev/null
    answer=$(curl "${tls[@]}" -w ' %{http_code}' "$origin$pins_path")
    case $expected in
    object*) actual="$(jq -r 'type' <<<"${answer% *}" 2>/dev/null) ${answer##* }" ;;
    *) actual="$(jq -e . <<<"${answer% *}" >/dev/null 2>&1 && echo json || echo not-json) ${answer##* }" ;;
    esac
    check "pins answer mode $mode" "$expected" "$actual"
done <<'EOF'
object|object 200
malformed|not-json 200
error|json 500
EOF
settings '{"pins": "array"}' >/dev/null
check "unknown settings are refused" "400" \
    "$(curl --max-time 5 -sS -o /dev/null -w '%{http_code}' -X POST --data-binary '{"pins":"tree"}' \
        "$control/__settings")"

# --- Version ------------------------------------------------------------------------------
version_fields() { get "$version_path" | jq -c '[.version, .is_required, (.link | type)]'; }
check "version none: the running version" '["4.11",0,"string"]' "$(version_fields)"
settings '{"version": "optional"}' >/dev/null
check "version optional" '["4.12",0,"string"]' "$(version_fields)"
settings '{"version": "mandatory"}' >/dev/null
check "version mandatory" '["4.12",1,"string"]' "$(version_fields)"
settings '{"version": "{\"version\": 4.9, \"is_required\": true}"}' >/dev/null
check "version raw JSON is served as given" '{"version": 4.9, "is_required": true}' \
    "$(get "$version_path")"
settings '{"version": "none"}' >/dev/null
check "version path of a link server answers too" "200" \
    "$(status "$origin$(jq -r .versionPath "$profile")")"
# Each system's build asks with its own query and is named its own download.
for pair in "versionUrl updateDownloadUrl" "versionPath updateDownloadUrl" \
    "linuxVersionUrl linuxUpdateDownloadUrl" "linuxVersionPath linuxUpdateDownloadUrl"; do
    read -r asked named <<<"$pair"
    check "version answer to $asked names $named" "$(jq -r ".$named" "$profile")" \
        "$(get "$(path_of "$asked")" | jq -r .link)"
done
check "the Linux download is served" "200" \
    "$(status "$origin$(path_of linuxUpdateDownloadUrl)")"

# --- Content data -------------------------------------------------------------------------
content() { # body [content type] [method]: status and answer
    curl "${tls[@]}" -X "${3:-PUT}" -H "Content-Type: ${2:-application/x-www-form-urlencoded}" \
        --data-binary "$1" -w '\n%{http_code}' "$origin$content_path"
}
form() { printf '%s%s%s%s' "$token_field" "$1" "$content_field" "$2"; }
fields=".$(m data) | [.$(m type), .$(m url), .$(m youtubeUrl), .$(m numericId)]"
while IFS='|' read -r id expected; do
    answer=$(content "$(form demo "$id")")
    check "content $id" "$expected 200" \
        "$(head -1 <<<"$answer" | jq -c "$fields" | sed "s|$origin|ORIGIN|g") $(tail -1 <<<"$answer")"
done <<'EOF'
lesson-page|["video","ORIGIN/content/lesson-page.html",null,101]
lesson-video|["video","ORIGIN/content/media/lesson-video.mp4",null,102]
lesson-youtube|["video","","https://www.youtube.com/watch?v=M7lc1UVf-VE&t=5s",103]
live-zoom|["zoom","https://us02web.zoom.us/j/81234567890?pwd=demo",null,104]
notes-pdf|["pdf","ORIGIN/content/notes.pdf",null,106]
notes-pdf-url|["pdf_url","ORIGIN/content/notes.pdf?copy=url",null,107]
interactive|["interactive","ORIGIN/content/interactive.html",null,108]
notes%2Dpdf|["pdf","ORIGIN/content/notes.pdf",null,106]
EOF
check "watermark is a top-level member" "طالب تجريبي 0100" \
    "$(content "$(form demo notes-pdf)" | head -1 | jq -r ".$(m watermark)")"

while IFS='|' read -r name body type method expected; do
    answer=$(content "$body" "$type" "$method")
    check "content refused: $name" "$expected" \
        "$(tail -1 <<<"$answer") $(head -1 <<<"$answer" | jq -r '.message | length > 0')"
done <<EOF
wrong method|$(form demo lesson-page)|application/x-www-form-urlencoded|POST|400 true
wrong content type|$(form demo lesson-page)|application/json|PUT|400 true
token holding & and =|$(form 'a&b=c' lesson-page)|application/x-www-form-urlencoded|PUT|400 true
fields swapped|${content_field#&}=lesson-page&${token_field%=}=demo|application/x-www-form-urlencoded|PUT|400 true
empty token|$(form '' lesson-page)|application/x-www-form-urlencoded|PUT|400 true
expired session|$(form expired lesson-page)|application/x-www-form-urlencoded|PUT|403 true
unknown lesson|$(form demo no-such-lesson)|application/x-www-form-urlencoded|PUT|404 true
EOF
check "unknown lesson: English message" "This lesson could not be found." \
    "$(content "$(form demo no-such-lesson)" | head -1 | jq -r .message)"
answer=$(content "$(form demo withdrawn)")
check "withdrawn lesson: Arabic message" "404 هذا الدرس لم يعد متاحاً. يرجى التواصل مع المعلم." \
    "$(tail -1 <<<"$answer") $(head -1 <<<"$answer" | jq -r .message)"

# --- Page scripts, site, documents --------------------------------------------------------
check "page script of the YouTube lesson" "200 yes" \
    "$(curl "${tls[@]}" -o "$work/script.js" -w '%{http_code}' "$origin${script_prefix}103") \
$(grep -q 'id: 103' "$work/script.js" && echo yes)"
while IFS='|' read -r suffix expected; do
    check "page script $suffix" "$expected" "$(status "$origin$script_prefix$suffix")"
done <<'EOF'
999|404
-103|404
abc|404
EOF
while IFS='|' read -r path expected; do
    check "site page $path" "$expected" "$(status "$origin$path")"
done <<EOF
/|200
$start_path|200
$start_path/select-tenants|200
$start_path/courses|200
/content/lesson-page.html|200
/content/interactive.html|200
/no/such/page|404
EOF
check "course page carries every sample link" "12" \
    "$(get "$start_path/courses" | grep -o 'href="kestrum:' | wc -l)"

get /content/notes.pdf >"$work/notes.pdf"
xref=$(tail -2 "$work/notes.pdf" | head -1)
check "PDF: header, trailer and a startxref that points at its xref table" "%PDF-1.4 %%EOF xref" \
    "$(head -c 8 "$work/notes.pdf") $(tail -1 "$work/notes.pdf") $(tail -c +$((xref + 1)) "$work/notes.pdf" | head -c 4)"

# --- Links --------------------------------------------------------------------------------
lesson_link=$(sed -nE 's/^link lesson-page //p' "$main_out")
check "printed link decodes with the player's key" \
    "{\"token\":\"demo-token-0100\",\"content\":\"lesson-page\",\"server\":\"$origin\"}" \
    "$($tool decode-link "$lesson_link" 2>/dev/null)"
check "control lists the same links" "$lesson_link" \
    "$(curl --max-time 5 -sS "$control/__links" | jq -r '."lesson-page"')"

# --- Test paths and switches --------------------------------------------------------------
check "test redirect" "302 $origin/" \
    "$(curl "${tls[@]}" -o /dev/null -w '%{http_code} %{redirect_url}' "$origin/__test/redirect")"
check "redirect switch" "302 $origin$start_path" \
    "$(curl "${tls[@]}" -o /dev/null -w '%{http_code} %{redirect_url}' "$origin/moved")"
check "huge answer is 20 MiB of valid JSON" "20971520 true" \
    "$(curl "${tls[@]}" -o "$work/huge.json" -w '%{size_download}' "$origin/__test/huge") \
$(jq -e 'type == "array"' "$work/huge.json")"
check "garbage answer is a 200 that is no JSON" "200 not-json" \
    "$(curl "${tls[@]}" -o "$work/garbage" -w '%{http_code}' "$origin/__test/garbage") \
$(jq -e . "$work/garbage" >/dev/null 2>&1 && echo json || echo not-json)"
while IFS='|' read -r code expected; do
    check "test status $code" "$expected" "$(status "$origin/__test/status/$code")"
done <<'EOF'
418|418
503|503
204|204
abc|400
99|400
EOF
curl "${tls[@]}" -o /dev/null --max-time 1 "$origin$start_path/login" 2>/dev/null
check "slow path is still waiting after 1 s" "28" "$?"
check "other paths answer meanwhile" "200" "$(status "$origin$start_path")"

# --- Request log --------------------------------------------------------------------------
curl --max-time 5 -sS -X POST -d "" "$control/__log/clear" >/dev/null
curl "${tls[@]}" -o /dev/null -H 'X-Secret: s3cret' "$origin$version_path"
content "$(form 'tok+/=' lesson-page)" >/dev/null
curl --max-time 5 -sSk -o /dev/null --resolve "localhost:$attacker_port:127.0.0.2" \
    -H 'X-Secret: leaked' "https://localhost:$attacker_port/"
log=$(curl --max-time 5 -sS "$control/__log")
check "log holds exactly the three requests since clearing" "3" "$(jq length <<<"$log")"
check "log: version request with its query and X-Secret" \
    "platform GET $version_path s3cret" \
    "$(jq -r '.[0] | "\(.listener) \(.method) \(.target) \(.headers["X-Secret"])"' <<<"$log")"
check "log: content body byte for byte" "$(form 'tok+/=' lesson-page)" "$(jq -r '.[1].body' <<<"$log")"
check "log: attacker listener named" "attacker leaked" \
    "$(jq -r '.[2] | "\(.listener) \(.headers["X-Secret"])"' <<<"$log")"
check "log: clearing reports the count" '{"cleared":3}' \
    "$(curl --max-time 5 -sS -X POST -d "" "$control/__log/clear")"

# --- Forged issuer ------------------------------------------------------------------------
start forged --port 0 --attacker-port 0 --attacker-chain forged-issuer
forged_port=$(port_of "$forged_out" attacker)
timeout 10 openssl s_client -connect "127.0.0.2:$forged_port" -servername localhost -showcerts \
    </dev/null 2>/dev/null | awk '/BEGIN CERT/{n++} n{print > "'"$work"'/forged-" n ".pem"} /END CERT/{n=n}'
check "forged leaf names the genuine intermediate as issuer" \
    "$(openssl x509 -in "$work/chain/intermediate.pem" -noout -subject | sed 's/^subject=//')" \
    "$(openssl x509 -in "$work/forged-1.pem" -noout -issuer | sed 's/^issuer=//')"
check "forged chain sends the genuine intermediate" "$(echo "$profile_pins" | sed -n 2p)" \
    "$(pin_of_pem <"$work/forged-2.pem")"
check "forged leaf key is not pinned" "" \
    "$(grep -Fx "$(pin_of_pem <"$work/forged-1.pem")" <<<"$profile_pins")"
openssl verify -CAfile "$work/chain/ca.pem" -untrusted "$work/forged-2.pem" \
    "$work/forged-1.pem" >/dev/null 2>&1
check "forged leaf's signature fails under the genuine intermediate" "2" "$?"

# --- Bad input ----------------------------------------------------------------------------
while IFS='|' read -r args expected; do
    # shellcheck disable=SC2086
    "$server" $args >/dev/null 2>"$work/bad.err"
    check "refused: $args" "2 yes" "$? $(grep -q -- "$expected" "$work/bad.err" && echo yes)"
done <<'EOF'
--port abc|--port
--port 70000|--port
--address 192.0.2.1|loopback
--attacker-chain other|wrong-key
--version-answer sometimes|--version-answer
--pins-answer tree|--pins-answer
--slow-path /x=forever|--slow-path
--frobnicate 1|unknown option
--port|needs a value
EOF

# --- Stop ---------------------------------------------------------------------------------
curl "${tls[@]}" --max-time 20 -o /dev/null "$origin$start_path/login" 2>/dev/null &
slow_client=$!
sleep 0.3
began=$(date +%s%N)
kill -TERM "$main_pid"
wait "$main_pid"
code=$?
elapsed_ms=$((($(date +%s%N) - began) / 1000000))
wait "$slow_client" 2>/dev/null
check "SIGTERM stops cleanly, even with a slow answer pending" "0 fast" \
    "$code $([ "$elapsed_ms" -lt 5000 ] && echo fast || echo "slow (${elapsed_ms} ms)")"
check "and says so" "stopping (SIGTERM)" "$(tail -1 "$main_out")"

if [ "$failures" -ne 0 ]; then
    echo "$failures check(s) failed"
    exit 1
fi
echo "all checks passed"
