#!/usr/bin/env bash
# What the loading overlay costs the web process: a bare WebKitGTK window loads a small lesson
# page with one overlay variant in its head (where the player's document-start script puts
# it), and after the load the web process's PSS, USS and anonymous memory are read from
# smaps_rollup, once soon after the load (as the start harness does) and once later. USS
# counts the pages of the libraries only this web process maps: a web process of another
# program on the machine lowers it; the anonymous memory (heaps, buffers) is the steadier
# figure. The variants take turns;
# medians and ranges are printed, and each variant's difference to the page without overlay.
#   overlay_memory.sh <bare_webkit_window> <loader.js> [rounds] [variant...]
# A page of the network loads later than a local file: the page holds its "load" listeners
# back by KESTRUM_OVERLAY_HOLD_MS (default 1500), so that the overlay is seen (and spins) that
# long; the readings follow that time.
# Variants: none, loader (the given script as it is), any other script by its path (*.js), and
# the given script with parts left out: static (no spin, no fade), spin (no fade: removed at
# once), fade (no spin), shown (never hidden: the cost while it is on screen).
set -u
bare=$1
loader=$2
rounds=${3:-5}
shift $(($# < 3 ? $# : 3))
variants=("$@")
[ ${#variants[@]} -gt 0 ] || variants=(none loader static spin fade shown)

if [ -z "${KESTRUM_OVERLAY_DISPLAY:-}" ]; then
    export KESTRUM_OVERLAY_DISPLAY=1 NO_AT_BRIDGE=1
    exec timeout 600 xvfb-run -a -s "-screen 0 1280x800x24 -nolisten tcp" bash "$0" "$bare" \
        "$loader" "$rounds" "${variants[@]}"
fi

work=$(mktemp -d)
running=
trap '[ -n "$running" ] && kill "$running" 2>/dev/null; rm -rf "$work"' EXIT
die() {
    echo "overlay memory: $*" >&2
    exit 1
}
[ -r "$loader" ] || die "cannot read $loader"
hold=${KESTRUM_OVERLAY_HOLD_MS:-1500}

# The given script with parts left out: spin (1/0), fade (1/0: removed at once), hide (1/0:
# never). A part the script no longer has cannot be left out: that ends the run.
model() {
    local spin=$1 fade=$2 hide=$3 text
    text=$(cat "$loader")
    leave_out() {  # perl substitution
        local before=$text
        text=$(perl -0pe "$1" <<<"$text")
        [ "$text" != "$before" ] || die "the script has no part matching $1"
    }
    ((spin)) || leave_out 's/animation:molvane-spin[^;]*;//'
    ((fade)) || leave_out 's/loader\.style\.opacity = .0.;\s*setTimeout\(\(\) => loader\.remove\(\), 500\);/loader.remove();/'
    ((hide)) || leave_out 's/window\.addEventListener\(.load., hideLoader\);\s*setTimeout\(hideLoader, 5000\);//'
    printf '%s\n' "$text"
}

script_of() {
    case $1 in
        none) ;;
        loader) cat "$loader" ;;
        static) model 0 0 1 ;;
        spin) model 1 0 1 ;;
        fade) model 0 1 1 ;;
        shown) model 1 1 0 ;;
        *.js) cat "$1" ;;
        *) die "unknown variant $1" ;;
    esac
}

for variant in "${variants[@]}"; do
    {
        echo '<!DOCTYPE html><html><head><meta charset="utf-8"><title>Lesson</title><script>'
        echo "const hold = $hold, listen = window.addEventListener.bind(window);"
        echo "window.addEventListener = (type, listener, ...rest) => listen(type,"
        echo "    type === 'load' ? () => setTimeout(listener, hold) : listener, ...rest);"
        echo '</script><script>'
        script_of "$variant"
        echo '</script><style>body{background:#fff;color:#222;font-family:sans-serif}</style>'
        echo '</head><body><h1>Lesson 1: Fractions</h1><p>A half is one of two equal parts.</p>'
        echo '<button>Print</button></body></html>'
    } >"$work/$(basename "$variant").html"
done

# "<pss> <uss> <anonymous>" in kB of the web process under the given program.
web_process_memory() {
    local pid
    for pid in $(cat /proc/"$1"/task/*/children 2>/dev/null); do
        [ "$(cat /proc/"$pid"/comm 2>/dev/null)" = WebKitWebProces ] || continue
        awk '$1 == "Pss:" { pss += $2 }
             $1 == "Private_Clean:" || $1 == "Private_Dirty:" { uss += $2 }
             $1 == "Anonymous:" { anon += $2 }
             END { print pss + 0, uss + 0, anon + 0 }' /proc/"$pid"/smaps_rollup
        return 0
    done
    return 1
}

# One start of one variant: sets early_{pss,uss,anon} and late_{pss,uss,anon}.
measure() {
    local variant=$1 data=$work/data.$RANDOM line
    local fifo=$work/err.$(basename "$variant")
    mkfifo "$fifo"
    HOME=$work XDG_CACHE_HOME=$work/cache "$bare" "file://$work/$(basename "$variant").html" "$data" \
        2>"$fifo" >/dev/null &
    running=$!
    exec {errors}<"$fifo"
    local loaded=
    while IFS= read -r -t 30 -u "$errors" line; do
        [[ $line == *"Page load finished"* ]] && loaded=1 && break
    done
    cat <&"$errors" >/dev/null &
    local drain=$!
    [ -n "$loaded" ] || die "$variant: no load within 30 s"
    sleep "$(awk -v h="$hold" 'BEGIN { print h / 1000 + 1 }')"
    read -r early_pss early_uss early_anon < <(web_process_memory "$running") || die "$variant: no web process"
    sleep 3
    read -r late_pss late_uss late_anon < <(web_process_memory "$running") || die "$variant: no web process"
    kill "$running"
    wait "$running" 2>/dev/null
    running=
    exec {errors}<&-
    wait "$drain" 2>/dev/null
    rm -rf "$data" "$fifo"
}

median() { printf '%s\n' "$@" | sort -n | awk '{ v[NR] = $1 } END {
    print (NR % 2 ? v[(NR + 1) / 2] : int((v[NR / 2] + v[NR / 2 + 1]) / 2)) }'; }
range() { printf '%s\n' "$@" | sort -n | awk 'NR == 1 { lo = $1 } { hi = $1 } END { print lo "-" hi }'; }
mb() { awk -v k="$1" 'BEGIN { printf "%.1f", k / 1024 }'; }

# Once unmeasured, so that the first variant does not pay alone for a cold file cache.
measure none
declare -A samples
for round in $(seq 1 "$rounds"); do
    # A different order each round, so that no variant always follows the same one.
    for variant in $(printf '%s\n' "${variants[@]}" | shuf); do
        measure "$variant"
        for what in early_pss early_uss early_anon late_pss late_uss late_anon; do
            samples[$variant.$what]+=" ${!what}"
        done
    done
    echo "round $round done"
done

echo
echo "Web process memory, median of $rounds starts (MB; ranges min-max; +: over 'none');"
echo "early: 1 s after the overlay's hiding began ($hold ms after the load), late: 3 s later."
printf '%-8s  %13s  %11s  %13s  %11s  %13s  %13s\n' variant "early anon" range "late anon" \
    range "early USS" "early PSS"
declare -A base
for variant in none "${variants[@]}"; do
    [ -n "${samples[$variant.early_uss]:-}" ] || continue
    row=()
    for what in early_anon late_anon early_uss early_pss; do
        # shellcheck disable=SC2086
        m=$(median ${samples[$variant.$what]})
        [ "$variant" = none ] && base[$what]=$m
        diff=
        [ -n "${base[$what]:-}" ] && [ "$variant" != none ] &&
            diff=" ($(awk -v d=$((m - base[$what])) 'BEGIN { printf "%+.1f", d / 1024 }'))"
        row+=("$(mb "$m")$diff")
        # shellcheck disable=SC2086
        [[ $what == *anon ]] && row+=("$(range $(for k in ${samples[$variant.$what]}; do mb "$k"; echo; done))")
    done
    [ "$variant" = none ] && [ "${printed_none:-}" ] && continue
    [ "$variant" = none ] && printed_none=1
    printf '%-8s  %13s  %11s  %13s  %11s  %13s  %13s\n' "$(basename "$variant")" "${row[@]}"
done
