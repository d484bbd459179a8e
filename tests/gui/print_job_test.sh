#!/usr/bin/env bash
# The printer picker and the print job under a virtual display, against a private CUPS
# scheduler with three printers (Office the default, Archive, Basement): the order and the
# choice in the picker, its cancels, the empty list, the page's one result message per
# request with the job in the queue, one request at a time, and a PDF printed as itself.
#   print_job_test.sh PROBE PRIVATE_CUPSD_SCRIPT SCREENSHOT_DIR
set -uo pipefail

if [ -z "${KESTRUM_IN_XVFB:-}" ]; then
    export KESTRUM_IN_XVFB=1 NO_AT_BRIDGE=1 WEBKIT_DISABLE_COMPOSITING_MODE=1 GDK_BACKEND=x11
    unset WAYLAND_DISPLAY
    exec timeout 380 xvfb-run -a -s "-screen 0 1280x800x24 -nolisten tcp" bash "$0" "$@"
fi

probe=$1
cupsd=$2
shots=$3
mkdir -p "$shots"
# Short: the scheduler's socket path must fit a Unix socket address.
work=$(mktemp -d /tmp/kprint.XXXXXX)
# Run as root, the scheduler's backends run as lp and must reach the folders below.
chmod 0755 "$work"
failures=0

fail() { echo "FAILED: $*"; failures=$((failures + 1)); }
ok() { echo "ok: $*"; }
cleanup() {
    bash "$cupsd" stop "$work/cups" >/dev/null 2>&1
    rm -rf "$work"
}
trap cleanup EXIT

if ! line=$(bash "$cupsd" start "$work/cups"); then
    echo "FAILED: the private CUPS scheduler did not start"
    exit 1
fi
export "${line?}"
bash "$cupsd" add "$work/cups" Office default &&
    bash "$cupsd" add "$work/cups" Archive &&
    bash "$cupsd" add "$work/cups" Basement || { echo "FAILED: adding printers"; exit 1; }
out=$work/cups/out

# The probe's output, with GLib's warnings about absent system services left out.
run_probe() {  # name args...
    local name=$1
    shift
    timeout 120 "$probe" "$@" >"$work/$name.out" 2>"$work/$name.err"
    echo $? >"$work/$name.rc"
}
field() { grep "^$2:" "$work/$1.out" | head -1 | cut -d: -f2-; }
results() { grep '^RESULT:' "$work/$1.out"; }

jobs_count() { lpstat -W all -o 2>/dev/null | wc -l; }
out_size() { stat -c %s "$out/$1" 2>/dev/null || echo 0; }

# Waits until the printer's output file has grown past $2 bytes.
wait_output() {  # printer size
    for _ in $(seq 50); do
        [ "$(out_size "$1")" -gt "$2" ] && return 0
        sleep 0.2
    done
    return 1
}

CANCELLED='RESULT:{"type":"printResult","status":"cancelled"}'
SUCCESS='RESULT:{"type":"printResult","status":"success","message":"Print job sent successfully."}'
UNAVAILABLE='RESULT:{"type":"printResult","status":"error","message":"The selected printer is unavailable."}'

# 1. The picker over the spooler's printers: the default first and selected, then by name.
run_probe first pick "shot:$shots/printer-picker.png" parts print
[ "$(field first PARTS)" = "printer-list,print-button,cancel-button" ] &&
    ok "picker shows the list and both buttons" || fail "picker parts: $(field first PARTS)"
[ "$(field first CHOSEN)" = "Office" ] && ok "Print at once chooses the default printer" ||
    fail "Print at once chose '$(field first CHOSEN)'"
[ "$(field first SIZE)" = "420x341" ] && ok "picker is 420x341" ||
    fail "picker size $(field first SIZE)"
grep -q "^OWNER SENSITIVE:1 PICKER LEFT:0" "$work/first.out" && ok "picker gone afterwards" ||
    fail "after the picker: $(grep OWNER "$work/first.out")"

# 2. Choosing and cancelling. "enter down print" proves Enter neither prints nor cancels.
while IFS='|' read -r actions expected; do
    # shellcheck disable=SC2086
    run_probe case pick $actions
    chosen=$(field case CHOSEN)
    if [ "$(cat "$work/case.rc")" = 0 ] && grep -q '^CHOSEN:' "$work/case.out" &&
        [ "$chosen" = "$expected" ]; then
        ok "pick '$actions' gives '$expected'"
    else
        fail "pick '$actions' gave '$chosen' (exit $(cat "$work/case.rc")), not '$expected'"
        cat "$work/case.out"
    fi
done <<'EOF'
down print|Archive
down down print|Basement
down down down print|Basement
click:1 print|Archive
dblclick:2|Basement
dblclick:1|Archive
enter down print|Archive
cancel|
escape|
close|
EOF

# The colours where they are solid: dialog, list, selected and plain cards, the selected
# row's badge, the buttons, and Print while held down.
pixels="5,5=141519 30,201=1C1E24 25,71=2563EB 25,115=22252D 330,71=FFFFFF 190,302=2563EB 301,302=2D303A"
# shellcheck disable=SC2046
PROBE_PRINTERS="Office*|Archive|Basement" run_probe colours pick \
    $(for p in $pixels; do echo "pixel:${p%%=*}"; done) hold pixel:190,302 escape
seen=$(grep '^PIXEL:' "$work/colours.out" | cut -d: -f2 | tr '\n' ' ')
[ "$seen" = "$pixels 190,302=1D4ED8 " ] && ok "colours of the picker and of a pressed Print" ||
    fail "colours: $seen"

# 3. Lists given directly: long names are cut before the badge; a long list scrolls.
long="A very long name for the office printer on the second floor*|Another printer whose name is far too long for one row|Lab"
PROBE_PRINTERS=$long run_probe long pick down "shot:$shots/printer-picker-long-names.png" escape
[ "$(field long CHOSEN)" = "" ] && grep -q '^CHOSEN:' "$work/long.out" &&
    ok "long names: shown and cancelled" || fail "long names: $(cat "$work/long.out")"
many="P1*|P2|P3|P4|P5|P6|P7|P8"
PROBE_PRINTERS=$many run_probe many pick down down down down down down down print
[ "$(field many CHOSEN)" = "P8" ] && ok "the keys reach the last row of a long list" ||
    fail "long list chose '$(field many CHOSEN)'"
PROBE_PRINTERS="" run_probe empty pick parts "shot:$shots/printer-picker-empty.png" print escape
[ "$(field empty PARTS)" = "no-printer-notice,cancel-button" ] &&
    ok "no printer: the notice and Cancel only" || fail "no printer: parts $(field empty PARTS)"
[ "$(field empty CHOSEN)" = "" ] && grep -q '^CHOSEN:' "$work/empty.out" &&
    ok "no printer: only a cancel" || fail "no printer: $(cat "$work/empty.out")"

# 4. Printing the page: one success message and the job in Office's output, nowhere else.
jobs=$(jobs_count)
office=$(out_size Office)
run_probe print1 print 1 print
if [ "$(results print1)" = "$SUCCESS" ]; then
    ok "print: one success message"
else
    fail "print: messages $(results print1 | tr '\n' ' ') (exit $(cat "$work/print1.rc"))"
fi
if wait_output Office "$office"; then
    ok "print: Office received $(($(out_size Office) - office)) bytes"
    [ "$(tail -c +$((office + 1)) "$out/Office" | head -c 5)" = "%PDF-" ] &&
        ok "print: the job is a PDF document" || fail "print: the job is not a PDF document"
else
    fail "print: nothing reached Office's output"
fi
[ "$(jobs_count)" = $((jobs + 1)) ] && ok "print: one job queued" ||
    fail "print: $(($(jobs_count) - jobs)) jobs queued"
[ ! -e "$out/Archive" ] && [ ! -e "$out/Basement" ] && ok "print: other printers untouched" ||
    fail "print: another printer received output"
grep -q "RESULT FOR NULL VIEW" "$work/print1.out" && fail "a null view posted a message"

# 5. A chosen printer other than the default.
archive=$(out_size Archive)
run_probe print2 print 1 down down print
[ "$(results print2)" = "$SUCCESS" ] && wait_output Basement 0 &&
    ok "print on Basement: success and output" ||
    fail "print on Basement: $(results print2 | tr '\n' ' ')"
[ "$(out_size Archive)" = "$archive" ] || fail "print on Basement reached Archive"

# 6. Cancelling in every way: one cancelled message, no job.
for how in escape close cancel; do
    jobs=$(jobs_count)
    run_probe "cancel-$how" print 1 "$how"
    [ "$(results "cancel-$how")" = "$CANCELLED" ] && ok "$how: one cancelled message" ||
        fail "$how: messages $(results "cancel-$how" | tr '\n' ' ')"
    sleep 0.5
    [ "$(jobs_count)" = "$jobs" ] && ok "$how: no job" || fail "$how: a job was queued"
done

# 7. One request at a time: a second request while the first job runs is cancelled at once,
#    forty at once show one picker, and requests one after the other each print.
jobs=$(jobs_count)
run_probe twice print 2 print
[ "$(results twice)" = "$(printf '%s\n%s' "$CANCELLED" "$SUCCESS")" ] &&
    ok "a request while the job runs: cancelled, then the job's success" ||
    fail "a request while the job runs: $(results twice | tr '\n' ' ')"
sleep 1
[ "$(jobs_count)" = $((jobs + 1)) ] && ok "and one job" || fail "$(($(jobs_count) - jobs)) jobs"
run_probe forty print 40 print
[ "$(field forty RESULTS)" = "40 PICKERS:1" ] && [ "$(results forty | grep -c "^$CANCELLED$")" = 39 ] &&
    [ "$(results forty | tail -1)" = "$SUCCESS" ] &&
    ok "forty requests at once: one picker, 39 cancelled, one success" ||
    fail "forty requests at once: $(field forty RESULTS), $(results forty | sort | uniq -c | tr '\n' ' ')"
jobs=$(jobs_count)
run_probe apart print-apart 2 print
[ "$(results apart)" = "$(printf '%s\n%s' "$SUCCESS" "$SUCCESS")" ] &&
    ok "two prints one after the other: two success messages" ||
    fail "two prints one after the other: $(results apart | tr '\n' ' ')"
sleep 1
[ "$(jobs_count)" = $((jobs + 2)) ] && ok "two prints: two jobs" ||
    fail "two prints: $(($(jobs_count) - jobs)) jobs"

# 8. The chosen printer is removed before the job starts: unavailable, once, no job.
jobs=$(jobs_count)
run_probe vanished print 1 down "run:bash $cupsd remove $work/cups Archive" print
[ "$(results vanished)" = "$UNAVAILABLE" ] && ok "removed printer: one unavailable message" ||
    fail "removed printer: messages $(results vanished | tr '\n' ' ')"
[ "$(jobs_count)" = "$jobs" ] && ok "removed printer: no job" || fail "removed printer: a job"

# 9. A PDF document prints as itself, not as the engine's viewer: its own bytes, all three
#    pages, on the chosen printer; a printer removed before the job is unavailable.
pdf=$(cd "$(dirname "$0")" && pwd)/fixtures/three-pages.pdf
office=$(out_size Office)
jobs=$(jobs_count)
PROBE_PAGE="file://$pdf" run_probe pdf print 1 print
[ "$(results pdf)" = "$SUCCESS" ] && ok "PDF: one success message" ||
    fail "PDF: messages $(results pdf | tr '\n' ' ') (exit $(cat "$work/pdf.rc"))"
if wait_output Office "$office"; then
    sleep 0.5
    tail -c +$((office + 1)) "$out/Office" >"$work/printed.pdf"
    cmp -s "$work/printed.pdf" "$pdf" && ok "PDF: the job is the document, byte for byte" ||
        fail "PDF: the job differs from the document ($(stat -c %s "$work/printed.pdf") bytes)"
    pages=$(pdfinfo "$work/printed.pdf" 2>/dev/null | sed -nE 's/^Pages: +//p')
    [ "${pages:-0}" = 3 ] && ok "PDF: three pages printed" || fail "PDF: ${pages:-no} pages"
else
    fail "PDF: nothing reached Office's output"
fi
[ "$(jobs_count)" = $((jobs + 1)) ] && ok "PDF: one job" || fail "PDF: $(($(jobs_count) - jobs)) jobs"
bash "$cupsd" add "$work/cups" Annex
jobs=$(jobs_count)
PROBE_PAGE="file://$pdf" run_probe pdf-gone print 1 down "run:bash $cupsd remove $work/cups Annex" print
[ "$(results pdf-gone)" = "$UNAVAILABLE" ] && ok "PDF on a removed printer: one unavailable message" ||
    fail "PDF on a removed printer: messages $(results pdf-gone | tr '\n' ' ')"
[ "$(jobs_count)" = "$jobs" ] && ok "PDF on a removed printer: no job" || fail "PDF on a removed printer: a job"

# 10. No printer at all: the empty picker, then cancelled.
bash "$cupsd" remove "$work/cups" Office && bash "$cupsd" remove "$work/cups" Basement
run_probe none print 1 parts escape
[ "$(field none PARTS)" = "no-printer-notice,cancel-button" ] &&
    ok "no printer: the empty picker" || fail "no printer: parts $(field none PARTS)"
[ "$(results none)" = "$CANCELLED" ] && ok "no printer: one cancelled message" ||
    fail "no printer: messages $(results none | tr '\n' ' ')"

for f in "$work"/*.err; do
    grep -E "CRITICAL|Gtk-WARNING" "$f" && fail "$(basename "$f" .err): GTK complained"
done
echo "$failures failure(s)"
[ $failures -eq 0 ]
