#!/usr/bin/env bash
# The printer picker under Wine and the session's virtual display, over the printers of a
# private CUPS scheduler (Wine's spooler reads the one CUPS_SERVER names): the order, the
# template and the colours as the learner sees them, and the answers a learner gives with
# keys and mouse; each request ends in one result message of the print flow. A recording
# stand-in for the window manager's library lies beside the probe, where the system looks for
# a library first, and writes down the frame attributes the picker asks for.
#   picker_win32_test.sh EMULATOR PROBE DWMAPI_RECORDER SCREENSHOT_DIR
# Needs the Wine session of scripts/wine-session.sh (WINEPREFIX and DISPLAY).
set -uo pipefail
[ $# -eq 4 ] || { echo "usage: $0 EMULATOR PROBE DWMAPI_RECORDER SCREENSHOT_DIR" >&2; exit 2; }
: "${WINEPREFIX:?needs a Wine session}" "${DISPLAY:?needs a display}"
emulator=$1 shots=$4
mkdir -p "$shots"
cupsd_script=$(cd "$(dirname "$0")/../../../scripts" && pwd)/private-cupsd.sh
# Short: the scheduler's socket path must fit a Unix socket address.
dir=$(mktemp -d /tmp/kestrum-cups.XXXXXX)
mkdir "$dir/app"
probe_exe=$dir/app/probe.exe
cp "$2" "$probe_exe"
cp "$3" "$dir/app/dwmapi.dll"
failures=0
picker=""

fail() { echo "FAILED: $*"; failures=$((failures + 1)); }
ok() { echo "ok: $*"; }
cleanup() {
    [ -n "$picker" ] && kill "$picker" 2>/dev/null
    "$cupsd_script" stop "$dir" >/dev/null 2>&1 || true
    rm -rf "$dir"
}
trap cleanup EXIT

# The probe's lines end in CR LF, as a Windows program's do.
probe() { "$emulator" "$probe_exe" "$@" | tr -d '\r'; }

start_picker() {  # output-file; the frame's attributes go to output-file.dwm
    KESTRUM_DWM_RECORD="Z:${1//\//\\}.dwm" "$emulator" "$probe_exe" pick >"$1" 2>&1 &
    picker=$!
    [ "$(probe wait)" = 1 ] || fail "the picker did not open"
}

finish_picker() {  # label output-file
    local end=$((SECONDS + 10))
    while kill -0 "$picker" 2>/dev/null && [ $SECONDS -lt $end ]; do sleep 0.2; done
    if kill -0 "$picker" 2>/dev/null; then
        fail "$1: the picker is still open"
        kill "$picker"
    fi
    wait "$picker"
    picker=""
    sed -i 's/\r$//' "$2"
    grep -q "OWNER ENABLED 1" "$2" && ok "$1: owner enabled again" || fail "$1: owner left disabled"
    [ "$(grep -c '^POSTED ' "$2")" = 1 ] || fail "$1: $(grep -c '^POSTED ' "$2") result messages"
}

expect_chosen() {  # label output-file printer
    finish_picker "$1" "$2"
    grep -qxF "ENGINE PRINTS ON $3" "$2" && ok "$1: prints on $3" ||
        fail "$1: engine was asked: $(grep ENGINE "$2")"
    grep -qxF 'POSTED {"type":"printResult","status":"success","message":"Print job sent successfully."}' "$2" &&
        ok "$1: the page hears of the success" || fail "$1: posted $(grep POSTED "$2")"
}

expect_cancelled() {  # label output-file
    finish_picker "$1" "$2"
    grep -q "ENGINE" "$2" && fail "$1: printed although cancelled"
    grep -qxF 'POSTED {"type":"printResult","status":"cancelled"}' "$2" &&
        ok "$1: cancelled, nothing printed" || fail "$1: posted $(grep POSTED "$2")"
}

still_open() {  # label
    sleep 1
    [ "$(probe exists)" = 1 ] && ok "$1" || fail "$1: the picker closed"
}

centre() {  # name coords-file
    awk -v name="$1" '{ label = $1; if ($1 == "row") label = $1 " " $2 } label == name { print $(NF - 1), $NF }' "$2"
}

click() { xdotool mousemove "$1" "$2" click 1; }

expect_frame() {  # label output-file attribute-lines...
    local label=$1 file=$2.dwm
    shift 2
    if [ "$(tr -d '\r' <"$file" 2>/dev/null)" = "$(printf '%s\n' "$@")" ]; then
        ok "$label: asks the window manager for a dark frame with round corners"
    else
        fail "$label: frame attributes asked: $(tr '\r\n' ' ;' <"$file" 2>/dev/null)"
    fi
}

server=$("$cupsd_script" start "$dir") || { echo "FAILED: no private scheduler"; exit 1; }
export "${server?}"
# The default is neither first nor last by name, and "Zeta" before "alpha" holds only when
# names are compared by code unit.
"$cupsd_script" add "$dir" alpha
"$cupsd_script" add "$dir" office default
"$cupsd_script" add "$dir" Zeta

# 1. The scheduler's printers: their order and looks; Enter, a held Print and Print without a
#    row do nothing; a row clicked and Print chooses it.
start_picker "$dir/one.out"
probe inspect "$shots/picker-win32.png" "office*,Zeta,alpha" >"$dir/coords" ||
    fail "picker as drawn: $(grep FAILED "$dir/coords")"
grep FAILED "$dir/coords"
grep -qx "selected 0" "$dir/coords" && ok "the default printer's row is selected" ||
    fail "selection at start: $(grep selected "$dir/coords")"
read -r px py < <(centre print "$dir/coords")
read -r r1x r1y < <(centre "row 1" "$dir/coords")
read -r r2x r2y < <(centre "row 2" "$dir/coords")
read -r cx cy < <(centre cancel "$dir/coords")
read -r xx xy < <(centre close "$dir/coords")
xdotool key Return
still_open "Enter does not print"
xdotool mousemove "$px" "$py" mousedown 1
sleep 0.5
probe inspect-pressed || fail "Print held down"
xdotool mousemove $((px - 150)) "$py" sleep 0.2 mouseup 1
still_open "Print pressed and released elsewhere does nothing"
probe select -1
click "$px" "$py"
still_open "Print without a selected row does nothing"
click "$r2x" "$r2y"
sleep 0.5
probe inspect "$shots/picker-win32-other-row.png" "office*,Zeta,alpha" >"$dir/coords2" ||
    fail "picker with another row selected: $(grep FAILED "$dir/coords2")"
grep -qx "selected 2" "$dir/coords2" && ok "a click selects the row" ||
    fail "selection after a click: $(grep selected "$dir/coords2")"
click "$px" "$py"
expect_chosen "row and Print" "$dir/one.out" alpha
# Attribute, value, size: dark mode 20 taken, round corners 33.
expect_frame "row and Print" "$dir/one.out" "20 1 4" "33 2 4"

# 2. A double click chooses the row at once.
start_picker "$dir/two.out"
xdotool mousemove "$r1x" "$r1y" click --repeat 2 --delay 80 1
expect_chosen "double click" "$dir/two.out" Zeta

# 3. Escape, Cancel and the close box cancel. A system without dark mode 20 is asked for the older 19.
KESTRUM_DWM_REFUSE=20 start_picker "$dir/three.out"
xdotool key Escape
expect_cancelled "Escape" "$dir/three.out"
expect_frame "older system" "$dir/three.out" "20 1 4" "19 1 4" "33 2 4"
start_picker "$dir/four.out"
click "$cx" "$cy"
expect_cancelled "Cancel" "$dir/four.out"
start_picker "$dir/close.out"
click "$xx" "$xy"
expect_cancelled "close box" "$dir/close.out"

# 4. A default printer's name too long for its row ends before the badge; a name with "&"
#    shows it.
long="Office laser printer on the second floor next to the library reading room"
PROBE_PRINTERS="$long*,Basement,R&D Lab" start_picker "$dir/five.out"
probe inspect "$shots/picker-win32-long-name.png" "$long*,Basement,R&D Lab" >"$dir/coords3" ||
    fail "long name: $(grep FAILED "$dir/coords3")"
click "$px" "$py"
expect_chosen "long name" "$dir/five.out" "$long"

# 5. No printer at all: the notice, no list, no Print; Enter does nothing, Escape cancels.
"$cupsd_script" stop "$dir"
export CUPS_SERVER=$dir/none.sock
start_picker "$dir/six.out"
probe inspect-empty "$shots/picker-win32-empty.png" >"$dir/coords4" ||
    fail "empty picker: $(grep FAILED "$dir/coords4")"
xdotool key Return
still_open "without printers Enter does nothing"
xdotool key Escape
expect_cancelled "no printers" "$dir/six.out"

echo "$failures failure(s)"
[ $failures -eq 0 ]
