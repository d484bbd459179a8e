#!/usr/bin/env bash
# What the player's start costs next to a bare WebKitGTK window, both loading the stand-in's
# lesson page under one virtual display, with the stand-in behind a relay that delays each
# direction by half a round trip (0, 25 and 50 ms round trips): the time from process start
# to the first "Page load finished" line; PSS and USS summed over the process and its
# descendants (WebKit's web and network processes) after the load; and, from the relay's log,
# the connections, TLS handshakes and round trips (turns from client-to-server to
# server-to-client) of each start. First starts (new home and data folders) at every round
# trip, and at 0 ms also later starts (folders used by one start before). The programs take
# turns; medians, ranges and ratios are printed. Fails only when a start fails or something cannot be measured.
#   browser_start_harness.sh <kestrum> <kestrum-tool> <kestrum-platform> <bare_webkit_window>
#                            <delay_proxy> [rounds]
set -u
player=$1
tool=$2
platform=$3
bare=$4
proxy_program=$5
rounds=${6:-5}

# One virtual display for the whole run, in a private network where the system allows one:
# the relay must have the profile's port 8443 to itself, the stand-in sits behind it on 18443.
if [ -z "${KESTRUM_HARNESS_DISPLAY:-}" ]; then
    export KESTRUM_HARNESS_DISPLAY=1 NO_AT_BRIDGE=1
    exec bash "$(dirname "$0")/../isolated.sh" \
        timeout 600 xvfb-run -a -s "-screen 0 1280x800x24 -nolisten tcp" bash "$0" "$@"
fi

address=https://localhost:8443/content/lesson-page.html
settle=1      # seconds between the load and the memory reading
limit=30      # seconds a program may take to load the page
work=$(mktemp -d)
service=
proxy=
running=
cleanup() {
    [ -n "$running" ] && stop_program
    [ -n "$proxy" ] && stop_proxy
    if [ -n "$service" ]; then
        kill "$service" 2>/dev/null
        wait "$service" 2>/dev/null
    fi
    rm -rf "$work"
}
trap cleanup EXIT
trap "exit 1" TERM INT
die() {
    echo "browser start harness: $*" >&2
    exit 1
}

port_busy() { (exec 3<>/dev/tcp/127.0.0.1/8443) 2>/dev/null ||
    (exec 3<>/dev/tcp/127.0.0.1/18443) 2>/dev/null; }

# Without a private network, the ports may be another run's: wait for them rather than take them.
for _ in $(seq 1 120); do
    port_busy || break
    sleep 1
done
port_busy && die "port 8443 or 18443 stays busy"
# Whether a server started in the background printed "ready" within 10 s.
await_ready() {  # pid, its output file
    for _ in $(seq 1 100); do
        grep -q '^ready' "$2" && return 0
        kill -0 "$1" 2>/dev/null || return 1
        sleep 0.1
    done
    return 1
}
"$platform" --port 18443 --control-port 0 >"$work/service.out" 2>"$work/service.err" &
service=$!
await_ready "$service" "$work/service.out" ||
    die "the stand-in service did not start: $(cat "$work/service.err")"
link=$("$tool" mint-link --token harness --content "$address" --server https://localhost:8443) ||
    die "could not mint the link"

# The process and all its descendants, one pid a line.
descendants() {
    local pending=("$1") pid child
    while [ ${#pending[@]} -gt 0 ]; do
        pid=${pending[0]}
        pending=("${pending[@]:1}")
        echo "$pid"
        for child in $(cat /proc/"$pid"/task/*/children 2>/dev/null); do
            pending+=("$child")
        done
    done
}
# "<pss> <uss> <own uss>" in kB: PSS and USS summed over the process and its descendants,
# then the USS of the process alone (USS is what a process holds that no other shares).
total_memory_kb() {
    local pid
    for pid in $(descendants "$1"); do
        echo "process $pid"
        cat /proc/"$pid"/smaps_rollup 2>/dev/null
    done | awk -v root="$1" '$1 == "process" { own = ($2 == root) }
                $1 == "Pss:" { pss += $2 }
                $1 == "Private_Clean:" || $1 == "Private_Dirty:" { uss += $2; if (own) mine += $2 }
                END { print pss + 0, uss + 0, mine + 0 }'
}

# Runs one program until its first load, reads its memory, ends it. Sets `ms`, `pss`, `uss`,
# `own` (see total_memory_kb),
# `loads` (the "finished" lines until the memory reading) and `net` (connections, TLS
# handshakes and round trips the relay saw meanwhile).
# Each run has a home, runtime folder and data folder of its own (an argument "@data@" names
# that data folder): with `starts` "first", as on a first start; with "later", the program has
# started once in them before, unmeasured, as on a learner's every later start.
measure() {  # name, command...
    local name=$1 line started finished
    shift
    local run
    run=$(mktemp -d "$work/run.$name.XXXXXX")  # a fresh folder each run, never one reused
    mkdir -p "$run/home" "$run/xdg" "$run/data"
    chmod 700 "$run/xdg"
    local command=("${@/#@data@/$run/data}")
    if [ "$starts" = later ]; then
        start_in "$run" "${command[@]}" >/dev/null 2>&1 &
        running=$!
        local ready=
        for _ in $(seq 1 $((limit * 10))); do
            grep -q "Page load finished" "$run/err.earlier" 2>/dev/null && ready=1 && break
            sleep 0.1
        done
        stop_program
        [ -n "$ready" ] || die "$name: the earlier start did not load the page"
    fi
    mkfifo "$run/err"
    local logged
    logged=$(wc -l <"$proxy_log")
    started=${EPOCHREALTIME/./}
    in_folders "$run" "${command[@]}" >/dev/null 2>"$run/err" &
    running=$!
    exec {errors}<"$run/err"
    finished=
    while IFS= read -r -t "$limit" -u "$errors" line; do
        if [[ $line == *"Page load finished"* ]]; then
            finished=${EPOCHREALTIME/./}
            break
        fi
        echo "$line" >>"$run/stderr"
    done
    # The rest of its output, so that it never blocks on a full pipe.
    cat <&"$errors" >>"$run/stderr" &
    local drain=$!
    if [ -z "$finished" ]; then
        stop_program
        exec {errors}<&-
        wait "$drain" 2>/dev/null
        die "$name: no 'Page load finished' within ${limit}s; its output:
$(tail -20 "$run/stderr" 2>/dev/null)"
    fi
    ms=$(((finished - started) / 1000))
    sleep "$settle"
    read -r pss uss own < <(total_memory_kb "$running")
    # A load that fails also ends in a "finished" line: more than one means the first may not
    # have been the page.
    loads=$((1 + $(grep -c 'Page load finished' <"$run/stderr" 2>/dev/null || true)))
    stop_program
    exec {errors}<&-
    wait "$drain" 2>/dev/null
    [ "$pss" -gt 0 ] || die "$name: no memory reading"
    net=$(tail -n +$((logged + 1)) "$proxy_log" | conversation)
}
# Runs a command with the run's home and runtime folder. The other XDG folders are unset, not
# empty: some libraries take an empty value as a folder (the GL driver then keeps no shader
# cache at all), where a learner's session has none set.
# It replaces the shell it runs in: start it in the background.
in_folders() {  # run folder, command...
    local run=$1
    shift
    HOME=$run/home XDG_RUNTIME_DIR=$run/xdg \
        exec env -u XDG_DATA_HOME -u XDG_CONFIG_HOME -u XDG_CACHE_HOME "$@"
}
# The earlier, unmeasured start of a "later" run: its output goes to err.earlier.
start_in() {  # run folder, command...
    in_folders "$@" >/dev/null 2>"$1/err.earlier"
}
# Log lines "<ms> <connection> <up|down> <bytes> [tls-hello]" to "<connections> <handshakes>
# <round trips>"; a round trip is a turn from the client's data to the server's.
conversation() {
    awk '{ if (!($2 in last)) connections++
           if ($5 == "tls-hello") hellos++
           if ($3 == "down" && last[$2] == "up") trips++
           last[$2] = $3 }
         END { print connections + 0, hellos + 0, trips + 0 }'
}
start_proxy() {  # round trip in ms
    proxy_log=$work/proxy.$1.log
    : >"$proxy_log"
    "$proxy_program" 8443 18443 "$1" "$proxy_log" >"$work/proxy.out" 2>"$work/proxy.err" &
    proxy=$!
    await_ready "$proxy" "$work/proxy.out" || die "the relay did not start: $(cat "$work/proxy.err")"
}
stop_proxy() {
    kill "$proxy" 2>/dev/null
    wait "$proxy" 2>/dev/null
    proxy=
}
stop_program() {
    local family
    family=$(descendants "$running")
    kill "$running" 2>/dev/null
    wait "$running" 2>/dev/null
    # WebKit's processes end with their program; any left over are ended here.
    for _ in $(seq 1 50); do
        local alive=
        for pid in $family; do kill -0 "$pid" 2>/dev/null && alive=1; done
        [ -z "$alive" ] && break
        sleep 0.1
    done
    for pid in $family; do kill -9 "$pid" 2>/dev/null; done
    running=
}

median() { printf '%s\n' "$@" | sort -n | awk '{ v[NR] = $1 } END {
    print (NR % 2 ? v[(NR + 1) / 2] : int((v[NR / 2] + v[NR / 2 + 1]) / 2)) }'; }
range() { printf '%s\n' "$@" | sort -n | awk 'NR == 1 { lo = $1 } { hi = $1 } END { print lo "-" hi }'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }
mb() { awk -v k="$1" 'BEGIN { printf "%.0f", k / 1024 }'; }

run_player() { measure player "$player" "$link"; }
run_bare() { measure bare "$bare" "$address" @data@; }

rows=()
starts=first
# First starts at each round trip; later starts (a learner's usual one) where the network adds
# nothing, so that the difference is the programs' own.
for setting in "0 first" "0 later" "25 first" "50 first"; do
    read -r rtt starts <<<"$setting"
    start_proxy "$rtt"
    # Once each unmeasured, so that neither pays alone for a cold file cache.
    [ "$setting" = "0 first" ] && run_player && run_bare
    player_ms=() player_pss=() player_uss=() player_own=() player_net=()
    bare_ms=() bare_pss=() bare_uss=() bare_own=() bare_net=()
    for round in $(seq 1 "$rounds"); do
        for which in $( ((round % 2)) && echo "player bare" || echo "bare player"); do
            "run_$which"
            ((loads == 1)) || echo "note: $which saw $loads loads in round $round"
            eval "${which}_ms+=($ms) ${which}_pss+=($pss) ${which}_uss+=($uss) ${which}_own+=($own)"
            eval "${which}_net+=(\"\$net\")"
        done
        echo "rtt $rtt ms $starts start round $round: player ${player_ms[-1]} ms $(mb "${player_pss[-1]}") MB" \
            "[${player_net[-1]}], bare ${bare_ms[-1]} ms $(mb "${bare_pss[-1]}") MB [${bare_net[-1]}]"
    done
    stop_proxy
    for which in player bare; do
        eval "times=(\"\${${which}_ms[@]}\") psss=(\"\${${which}_pss[@]}\") usss=(\"\${${which}_uss[@]}\")"
        eval "nets=(\"\${${which}_net[@]}\")"
        conns=() hellos=() trips=()
        for n in "${nets[@]}"; do
            read -r c h t <<<"$n"
            conns+=("$c") hellos+=("$h") trips+=("$t")
        done
        eval "${which}_t=$(median "${times[@]}") ${which}_p=$(median "${psss[@]}")"
        eval "${which}_u=$(median "${usss[@]}")"
        eval "owns=(\"\${${which}_own[@]}\")"
        eval "${which}_o=$(median "${owns[@]}")"
        eval "t=\$${which}_t p=\$${which}_p u=\$${which}_u o=\$${which}_o"
        pss_mb=()
        for k in "${psss[@]}"; do pss_mb+=("$(mb "$k")"); done
        rows+=("$(printf '%5s  %-5s  %-6s  %6s  %-11s  %7s  %-9s  %7s  %7s  %5s  %4s  %5s' "$rtt" \
            "$starts" "$which" "$t" "$(range "${times[@]}")" "$(mb "$p")" "$(range "${pss_mb[@]}")" \
            "$(mb "$u")" "$(mb "$o")" "$(median "${conns[@]}")" "$(median "${hellos[@]}")" \
            "$(median "${trips[@]}")")")
    done
    rows+=("$(printf '%5s  %-5s  %-6s  %6s  %-11s  %7s  %-9s  %7s  %7s' "$rtt" "$starts" "ratio" \
        "$(ratio "$player_t" "$bare_t")" "" "$(ratio "$player_p" "$bare_p")" "" \
        "$(ratio "$player_u" "$bare_u")" "$(ratio "$player_o" "$bare_o")")")
done

echo
echo "Start to first load through the relay, median of $rounds starts each (ranges: min-max);"
echo "PSS and USS summed over the process and its descendants, own: the program's process alone;"
echo "network per start (median). First: a new home and data folder; later: one start before in them."
printf '%5s  %-5s  %-6s  %6s  %-11s  %7s  %-9s  %7s  %7s  %5s  %4s  %5s\n' "rtt" "start" "who" "ms" \
    "ms range" "PSS MB" "range" "USS MB" "own USS" "conns" "tls" "trips"
printf '%s\n' "${rows[@]}"
