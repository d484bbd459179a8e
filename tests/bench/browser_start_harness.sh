#!/usr/bin/env bash
# What the player's browser costs next to a bare WebKitGTK window, both loading the stand-in's
# lesson page under one virtual display: the time from process start to the first "Page load
# finished" line, and the total PSS of the process and its descendants (WebKit's web and
# network processes) after the load. Rounds alternate which program goes first; the medians
# and their ratios are printed. Fails only when something cannot be measured.
#   browser_start_harness.sh <kestrum> <kestrum-tool> <kestrum-platform> <bare_webkit_window>
#                            [rounds]
set -u
player=$1
tool=$2
platform=$3
bare=$4
rounds=${5:-5}

# One virtual display for the whole run, in a private network where the system allows one:
# the stand-in must have the profile's port 8443 to itself.
if [ -z "${KESTRUM_HARNESS_DISPLAY:-}" ]; then
    export KESTRUM_HARNESS_DISPLAY=1 NO_AT_BRIDGE=1
    exec bash "$(dirname "$0")/../isolated.sh" \
        timeout 300 xvfb-run -a -s "-screen 0 1280x800x24 -nolisten tcp" bash "$0" "$@"
fi

address=https://localhost:8443/content/lesson-page.html
settle=1.5    # seconds between the load and the memory reading
limit=30      # seconds a program may take to load the page
work=$(mktemp -d)
service=
running=
cleanup() {
    [ -n "$running" ] && stop_program
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

port_busy() { (exec 3<>/dev/tcp/127.0.0.1/8443) 2>/dev/null; }

# Without a private network, the port may be another run's: wait for it rather than take it.
for _ in $(seq 1 120); do
    port_busy || break
    sleep 1
done
port_busy && die "port 8443 stays busy"
"$platform" --port 8443 --control-port 0 >"$work/service.out" 2>"$work/service.err" &
service=$!
for _ in $(seq 1 100); do
    grep -q '^ready' "$work/service.out" && break
    kill -0 "$service" 2>/dev/null || break
    sleep 0.1
done
grep -q '^ready' "$work/service.out" || die "the stand-in service did not start: $(cat "$work/service.err")"
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
total_pss_kb() {
    local sum=0 pid value
    for pid in $(descendants "$1"); do
        value=$(awk '$1 == "Pss:" { print $2 }' /proc/"$pid"/smaps_rollup 2>/dev/null)
        sum=$((sum + ${value:-0}))
    done
    echo "$sum"
}

# Runs one program until its first load, reads its memory, ends it. Sets `ms`, `pss` and
# `loads` (the "finished" lines until the memory reading).
# Each run has a home, runtime folder and data folder of its own, as on a first start.
measure() {  # name, command...
    local name=$1 line started finished
    shift
    local run=$work/run.$name.$RANDOM
    mkdir -p "$run/home" "$run/xdg" "$run/data"
    chmod 700 "$run/xdg"
    mkfifo "$run/err"
    started=${EPOCHREALTIME/./}
    HOME=$run/home XDG_RUNTIME_DIR=$run/xdg XDG_DATA_HOME= XDG_CONFIG_HOME= XDG_CACHE_HOME= \
        "$@" >/dev/null 2>"$run/err" &
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
    pss=$(total_pss_kb "$running")
    # A load that fails also ends in a "finished" line: more than one means the first may not
    # have been the page.
    loads=$((1 + $(grep -c 'Page load finished' <"$run/stderr" 2>/dev/null || true)))
    stop_program
    exec {errors}<&-
    wait "$drain" 2>/dev/null
    [ "$pss" -gt 0 ] || die "$name: no memory reading"
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
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }

run_player() { measure player "$player" "$link"; }
run_bare() { measure bare "$bare" "$address" "$work/run.bare.data.$RANDOM"; }

# Once each unmeasured, so that neither pays alone for a cold file cache.
run_player
run_bare
player_ms=() player_pss=() bare_ms=() bare_pss=() player_loads=0 bare_loads=0
for round in $(seq 1 "$rounds"); do
    for which in $( ((round % 2)) && echo "player bare" || echo "bare player"); do
        "run_$which"
        eval "${which}_ms+=($ms) ${which}_pss+=($pss) ${which}_loads=$loads"
    done
    echo "round $round: player ${player_ms[-1]} ms ${player_pss[-1]} kB ($player_loads loads)," \
        "bare ${bare_ms[-1]} ms ${bare_pss[-1]} kB ($bare_loads loads)"
done

pm=$(median "${player_ms[@]}")
bm=$(median "${bare_ms[@]}")
pp=$(median "${player_pss[@]}")
bp=$(median "${bare_pss[@]}")
echo "start-to-load: player $pm ms, bare $bm ms, ratio $(ratio "$pm" "$bm") (median of $rounds)"
echo "memory (PSS, process and descendants): player $((pp / 1024)) MB, bare $((bp / 1024)) MB," \
    "ratio $(ratio "$pp" "$bp")"
