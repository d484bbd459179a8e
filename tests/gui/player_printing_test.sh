#!/usr/bin/env bash
# Printing in the player end to end, under a virtual display, against the stand-in service
# and a private CUPS scheduler (Office the default, Archive): PDF content shows its pages
# under the watermark and the print button; the print button prints the document itself,
# every page, with one result; the PDF viewer's own print opens the player's picker; and a
# page that asks to be printed thousands of times gets one picker and a "cancelled" for each
# other request. Runs in a network namespace of its own where it can, since the stand-in
# listens on the profile's fixed port.
#   player_printing_test.sh <kestrum> <kestrum-tool> <kestrum-platform> <screen_colours>
#                           <private-cupsd.sh> <shots dir>
set -u
if [ -z "${KESTRUM_IN_NETNS:-}" ] && [ "$(id -u)" = 0 ] && unshare -n true 2>/dev/null; then
    export KESTRUM_IN_NETNS=1
    exec unshare -n bash -c 'ip link set lo up && exec bash "$0" "$@"' "$0" "$@"
fi
if [ -z "${KESTRUM_IN_XVFB:-}" ]; then
    export KESTRUM_IN_XVFB=1 NO_AT_BRIDGE=1 WEBKIT_DISABLE_COMPOSITING_MODE=1 GDK_BACKEND=x11
    unset WAYLAND_DISPLAY
    exec timeout 380 xvfb-run -a -s "-screen 0 1280x800x24 -nolisten tcp" bash "$0" "$@"
fi

player=$1
tool=$2
platform=$3
colours=$4
cupsd=$5
shots=$6
mkdir -p "$shots"
# Short: the scheduler's socket path must fit a Unix socket address. Run as root, its
# backends run as lp and must reach it.
work=$(mktemp -d /tmp/kpp.XXXXXX)
chmod 0755 "$work"
export HOME=$work/home XDG_RUNTIME_DIR=$work/run XDG_DATA_HOME= XDG_CONFIG_HOME=
mkdir -p "$HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
source "$(dirname "$0")/gui_test_lib.sh"
# The display and the stand-in are busy while pages flood the player: no call may hang.
xdo() { timeout 5 xdotool "$@"; }
get() { curl -s --max-time 5 "$@"; }
# Waits by the clock, however slow each try is: seconds, command...
within() {
    local end=$((SECONDS + $1))
    shift
    until "$@" >/dev/null 2>&1; do
        [ $SECONDS -ge $end ] && return 1
        sleep 0.1
    done
}
service=
running=
cleanup() {
    [ -n "$running" ] && kill "$running" 2>/dev/null && wait "$running" 2>/dev/null
    [ -n "$service" ] && kill "$service" 2>/dev/null && wait "$service" 2>/dev/null
    bash "$cupsd" stop "$work/cups" >/dev/null 2>&1
    rm -rf "$work"
}
trap cleanup EXIT
trap "exit 1" TERM INT

if ! line=$(bash "$cupsd" start "$work/cups"); then
    echo "FAIL the private CUPS scheduler did not start"
    exit 1
fi
export "${line?}"
bash "$cupsd" add "$work/cups" Office default && bash "$cupsd" add "$work/cups" Archive ||
    { echo "FAIL adding printers"; exit 1; }
out=$work/cups/out

"$platform" --port 8443 --control-port 0 >"$work/service.out" 2>"$work/service.err" &
service=$!
within 10 grep -q '^ready' "$work/service.out" || {
    echo "FAIL the stand-in service did not start:"
    cat "$work/service.err"
    exit 1
}
control=$(sed -nE 's/^listening control ([^ ]+).*/\1/p' "$work/service.out")
catalogue_link() { sed -nE "s/^link $1 (kestrum:.*)/\1/p" "$work/service.out"; }
page_link() {  # path and query on the stand-in
    "$tool" mint-link --token probe --content "https://localhost:8443$1" \
        --server https://localhost:8443
}
requested() { get "$control/__log" | grep -q "$1"; }
# The last value a page reported under a name (/__test/report?name=...&value=...).
reported() {
    get "$control/__log" | python3 -c 'import json,sys,urllib.parse as u
values = [dict(u.parse_qsl(e["query"])).get("value", "") for e in json.load(sys.stdin)
          if e["path"] == "/__test/report" and dict(u.parse_qsl(e["query"])).get("name") == sys.argv[1]]
print(values[-1] if values else "")' "$1"
}
has_report() { [ "$(reported "$1")" = "$2" ]; }
# Whether a page ever reported that value under the name, however it went on.
ever_reported() {
    get "$control/__log" | python3 -c 'import json,sys,urllib.parse as u
sys.exit(0 if any(dict(u.parse_qsl(e["query"])) == {"name": sys.argv[1], "value": sys.argv[2]}
                  for e in json.load(sys.stdin) if e["path"] == "/__test/report") else 1)' "$1" "$2"
}

run_player() {  # link; leaves the player running as $running, its output in player.log
    get -X POST -d '' "$control/__log/clear" >/dev/null
    "$player" "$1" >"$work/player.log" 2>&1 &
    running=$!
}
stop_player() {
    kill "$running" 2>/dev/null
    wait "$running" 2>/dev/null
    running=
}
results() { grep -a '^Print result: ' "$work/player.log"; }

pickers() { xdo search --onlyvisible --name '^Select Printer$' 2>/dev/null | wc -l; }
picker_shows() { [ "$(pickers)" -ge 1 ]; }
no_picker() { [ "$(pickers)" = 0 ]; }
# Presses a button of the picker, by its place (no window manager hands out the keyboard).
press_in_picker() {  # x y within the picker
    local picker
    picker=$(xdo search --onlyvisible --name '^Select Printer$' 2>/dev/null | head -1)
    [ -n "$picker" ] || return 1
    eval "$(xdo getwindowgeometry --shell "$picker")"
    xdo mousemove $((X + $1)) $((Y + $2)) click 1
}
press_print() { press_in_picker 190 302; }
press_cancel() { press_in_picker 301 302; }

# Pixel counts of the screen: colour~tolerance@x0,y0,x1,y1.
count() { "$colours" "$1" | awk '{ print $2 }'; }
at_least() { [ "$(count "$1")" -ge "$2" ]; }

out_size() { stat -c %s "$out/$1" 2>/dev/null || echo 0; }
grown() { [ "$(out_size "$1")" -gt "$2" ]; }  # printer, size before
jobs_count() { lpstat -W all -o 2>/dev/null | wc -l; }

SUCCESS='Print result: {"type":"printResult","status":"success","message":"Print job sent successfully."}'
CANCELLED='Print result: {"type":"printResult","status":"cancelled"}'

# The main window fills 1280 x 720 at the top left. The PDF viewer shows page 1 at the width
# of the window: the page's blue block (#1F64C8) fills most of the view, under the
# watermark (red at 15 % over the blue: #4155AA) and left of the print button
# (rgba(33,150,243,0.9) over the page: #37A0F4), 24 px from the bottom right corner.
BLUE_BLOCK="1F64C8~8@0,40,1280,720"
WATERMARK="4155AA~12@0,40,1280,720"
PRINT_BUTTON="37A0F4~12@1200,640,1264,704"

# 1. Both PDF kinds show the document's first page, the watermark and the print button.
for kind in notes-pdf-url notes-pdf; do
    run_player "$(catalogue_link $kind)"
    check "$kind: the document is requested" within 30 requested '/content/notes.pdf'
    if within 30 at_least "$BLUE_BLOCK" 100000; then
        ok "$kind: the first page is rendered ($(count "$BLUE_BLOCK") px of its block)"
    else
        fail "$kind: no rendered page ($(count "$BLUE_BLOCK") px of its block)"
    fi
    check "$kind: the watermark lies over the page ($(count "$WATERMARK") px)" \
        at_least "$WATERMARK" 300
    check "$kind: the print button shows ($(count "$PRINT_BUTTON") px)" \
        at_least "$PRINT_BUTTON" 800
    "$colours" --save "$shots/player-$kind.png" >/dev/null
    # The print library comes with the first print, not with the start.
    check "$kind: nothing of the print library is loaded before printing" \
        sh -c "! grep -q libcups /proc/$running/maps"
    [ $kind = notes-pdf ] || stop_player
done

# 2. The print button prints the document: its own bytes, all three pages in order, on the
#    chosen printer, with one success message. The player of "notes-pdf" still runs.
get -k https://localhost:8443/content/notes.pdf -o "$work/served.pdf"
office=$(out_size Office)
jobs=$(jobs_count)
xdo mousemove 1232 672 click 1
if within 15 picker_shows; then
    ok "the print button opens the printer picker"
    check "the print library is loaded for the picker's printers" grep -q libcups "/proc/$running/maps"
    press_print
    if within 15 grown Office "$office"; then
        sleep 1
        tail -c +$((office + 1)) "$out/Office" >"$work/printed.pdf"
        check "the job is the document itself, byte for byte" cmp -s "$work/printed.pdf" "$work/served.pdf"
        pages=$(pdfinfo "$work/printed.pdf" 2>/dev/null | sed -nE 's/^Pages: +//p')
        check "the job has the document's 3 pages (${pages:-none})" [ "${pages:-0}" = 3 ]
        # Each printed page shows its own block: blue, green, orange.
        pdftoppm -r 10 "$work/printed.pdf" "$work/page" 2>/dev/null
        for page in 1:1F64C8 2:28A050 3:E6781E; do
            colour=$(python3 - "$work/page-${page%%:*}.ppm" <<'EOF' 2>/dev/null
import sys
data = open(sys.argv[1], 'rb').read()
fields, at = [], 0
while len(fields) < 4:  # P6 width height maxval, each followed by one blank
    while data[at:at + 1].isspace(): at += 1
    end = at
    while not data[end:end + 1].isspace(): end += 1
    fields.append(data[at:end]); at = end
at += 1
width = int(fields[1])
x, y = 42, 29  # the middle of the block at 10 dots per inch
print(data[at + 3 * (y * width + x):at + 3 * (y * width + x) + 3].hex().upper())
EOF
            )
            check "printed page ${page%%:*} shows its block (#${colour:-none})" \
                [ "${colour:-none}" = "${page#*:}" ]
        done
    else
        fail "nothing reached Office's queue"
    fi
else
    fail "the print button opens no picker"
fi
sleep 2
check "one success message for the request" [ "$(results)" = "$SUCCESS" ]
check "one job queued" [ "$(jobs_count)" = $((jobs + 1)) ]
check "Archive untouched" [ ! -e "$out/Archive" ]

# 3. The viewer's own print (Ctrl+P inside it) opens the player's picker, never the
#    engine's print dialog; a cancel there is one cancelled message.
xdo mousemove 640 450 click 1
sleep 0.5
xdo key ctrl+p
if within 15 picker_shows; then
    ok "Ctrl+P in the viewer opens the player's picker"
    check "and no other print dialog" [ "$(xdo search --onlyvisible --name '^Print$' 2>/dev/null | wc -l)" = 0 ]
    press_cancel
    check "the cancel answers once" within 10 sh -c "[ \$(grep -ac '^Print result: ' '$work/player.log') = 2 ]"
    check "with cancelled" [ "$(results | tail -1)" = "$CANCELLED" ]
else
    fail "Ctrl+P in the viewer opens no picker"
fi
stop_player

# 4. A page that calls print() 2000 times at once: one picker, and one "cancelled" for each
#    of the other 1999 requests while it shows; then a data: frame that calls it 300 times.
most=0
watch_pickers() {  # seconds: samples how many pickers show at once
    local end=$((SECONDS + $1)) n
    while [ $SECONDS -lt $end ]; do
        n=$(pickers)
        [ "$n" -gt "$most" ] && most=$n
        sleep 0.25
    done
}
run_player "$(page_link '/content/print-flood.html?calls=2000&framed=300')"
if within 30 picker_shows; then
    within 30 has_report results "cancelled:1999,success:0,error:0,other:0"
    watch_pickers 3
    check "2000 requests: one picker at a time (at most $most)" [ "$most" = 1 ]
    check "and 1999 cancelled messages while it shows ($(reported results))" \
        has_report results "cancelled:1999,success:0,error:0,other:0"
    press_cancel
    # The frame's requests follow at once: the count may be past 2000 when it is read.
    check "the picker's own cancel is the 2000th" \
        within 15 ever_reported results "cancelled:2000,success:0,error:0,other:0"
else
    fail "2000 requests: no picker"
fi
check "the data: frame starts asking" within 15 has_report framed started
# The frame's requests are refused as a frame's, or answered like the page's: either way at
# most one picker and no print.
watch_pickers 4
check "300 requests from a data: frame: at most one picker at a time ($most)" [ "$most" -le 1 ]
if picker_shows; then
    press_cancel
    within 10 no_picker
fi
sleep 2
only_cancels() { case $1 in cancelled:*,success:0,error:0,other:0) return 0 ;; esac; return 1; }
flood=$(reported results)
check "nothing but cancels reached the page ($flood)" only_cancels "$flood"
check "no picker is left" no_picker
check "the player is still alive" kill -0 "$running"
"$colours" --save "$shots/player-print-flood.png" >/dev/null
stop_player

echo "$failures failed"
[ "$failures" -eq 0 ]
