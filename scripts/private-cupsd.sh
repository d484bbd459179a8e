#!/usr/bin/env bash
# A CUPS scheduler of our own for printing tests: every file it uses lives under DIR, it
# listens on nothing but the Unix socket DIR/cups.sock, and it never browses or shares, so
# it neither sees nor disturbs the machine's printers. Its printers write their jobs to
# files under DIR/out/.
#   private-cupsd.sh start DIR              prints CUPS_SERVER=DIR/cups.sock once it answers
#   private-cupsd.sh add DIR NAME [default] raw queue appending its jobs to DIR/out/NAME,
#                                           enabled and accepting
#   private-cupsd.sh remove DIR NAME
#   private-cupsd.sh stop DIR               stops the scheduler started on DIR
set -euo pipefail
# cupsd, lpadmin, cupsenable and cupsaccept live in sbin, which users' PATHs often lack.
export PATH=/usr/sbin:/sbin:$PATH

usage() {
    echo "usage: $0 start DIR | add DIR NAME [default] | remove DIR NAME | stop DIR" >&2
    exit 2
}

[ $# -ge 2 ] || usage
command=$1
[ "$command" = start ] && mkdir -p "$2"
# Nothing was started on a folder that does not exist: stopping it is done already.
[ "$command" = stop ] && [ ! -d "$2" ] && exit 0
dir=$(cd "$2" && pwd)
socket=$dir/cups.sock
pid_file=$dir/cupsd.pid
export CUPS_SERVER=$socket
# The client tools would otherwise read the user's own choices.
export HOME=$dir/home

# A Unix socket path longer than sun_path (108 bytes) is cut silently by bind().
if [ ${#socket} -ge 100 ]; then
    echo "private-cupsd: $socket is too long for a Unix socket; use a shorter DIR" >&2
    exit 1
fi

running_pid() {
    [ -f "$pid_file" ] || return 1
    local pid
    pid=$(cat "$pid_file")
    [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null || return 1
    # A stale pid file may name a process that is no longer ours.
    [ "$(readlink "/proc/$pid/exe" 2>/dev/null)" = "$(command -v cupsd)" ] || return 1
    echo "$pid"
}

answers() {
    lpstat -r 2>/dev/null | grep -q "scheduler is running"
}

write_config() {
    mkdir -p "$dir/out" "$dir/spool/tmp" "$dir/cache" "$dir/state" "$dir/log" "$dir/ppd" \
        "$dir/home"
    local identity
    if [ "$(id -u)" -ne 0 ]; then
        # Without root the scheduler cannot switch users; it runs its helpers as itself.
        identity="SystemGroup $(id -gn)"
    else
        # The helpers run as lp: they must reach the spool and the output folder.
        chown lp:lp "$dir/out" "$dir/spool/tmp"
        chmod 0755 "$dir"
        identity=$'User lp\nGroup lp\nSystemGroup root'
    fi
    # A raw queue on a "file:" device never writes: the scheduler expects a filter to move
    # the bytes, and Debian's cups-daemon carries none (they come with the package "cups",
    # which pulls in Ghostscript). A backend of our own reads the job itself and appends it
    # to the file its address names, so every job of a queue lands in one file.
    mkdir -p "$dir/serverbin/backend"
    for part in daemon notifier; do
        ln -sfn "/usr/lib/cups/$part" "$dir/serverbin/$part"
    done
    cat >"$dir/serverbin/backend/outfile" <<'BACKEND'
#!/bin/sh
# outfile:/path  backend job-id user title copies options [file]
if [ $# -eq 0 ]; then
    echo 'direct outfile "Unknown" "Append jobs to a file"'
    exit 0
fi
path=${DEVICE_URI#outfile:}
umask 022
copies=${4:-1}
case "$copies" in '' | *[!0-9]*) copies=1 ;; esac
[ "$copies" -ge 1 ] || copies=1
if [ -z "$6" ]; then
    # A job on standard input can be read once only.
    cat >>"$path" || exit 1
    exit 0
fi
while [ "$copies" -gt 0 ]; do
    cat -- "$6" >>"$path" || exit 1
    copies=$((copies - 1))
done
BACKEND
    chmod 0755 "$dir/serverbin/backend/outfile"
    cat >"$dir/cups-files.conf" <<EOF
ServerRoot $dir
ServerBin $dir/serverbin
RequestRoot $dir/spool
TempDir $dir/spool/tmp
CacheDir $dir/cache
StateDir $dir/state
ErrorLog $dir/log/error_log
AccessLog $dir/log/access_log
PageLog $dir/log/page_log
Printcap $dir/printcap
$identity
CreateSelfSignedCerts no
EOF
    cat >"$dir/cupsd.conf" <<EOF
Listen $socket
Browsing No
BrowseLocalProtocols none
DefaultShared No
WebInterface No
LogLevel info
MaxLogSize 0
# Anyone who can reach the socket may administer: the folder's permissions guard it.
DefaultAuthType None
<Location />
  Order allow,deny
  Allow all
</Location>
<Policy default>
  <Limit All>
    Order allow,deny
    Allow all
  </Limit>
</Policy>
EOF
}

start() {
    if pid=$(running_pid); then
        echo "private-cupsd: already running on $dir (pid $pid)" >&2
        exit 1
    fi
    rm -f "$socket" "$pid_file"
    write_config
    # -f keeps cupsd in the foreground so that $! is the scheduler itself; setsid keeps the
    # caller's terminal signals away from it.
    setsid cupsd -f -c "$dir/cupsd.conf" -s "$dir/cups-files.conf" \
        </dev/null >>"$dir/log/cupsd.out" 2>&1 &
    echo $! >"$pid_file"
    for _ in $(seq 100); do
        if answers; then
            echo "CUPS_SERVER=$socket"
            return 0
        fi
        if ! running_pid >/dev/null; then
            echo "private-cupsd: cupsd ended at start; its log:" >&2
            cat "$dir/log/cupsd.out" "$dir/log/error_log" >&2 2>/dev/null || true
            rm -f "$pid_file"
            exit 1
        fi
        sleep 0.1
    done
    echo "private-cupsd: cupsd did not answer within 10 s" >&2
    stop
    exit 1
}

add() {
    local name=$1 make_default=${2:-}
    [ -n "$name" ] || usage
    [ -z "$make_default" ] || [ "$make_default" = default ] || usage
    running_pid >/dev/null || { echo "private-cupsd: not running on $dir" >&2; exit 1; }
    # No model: a raw queue, so the job's bytes reach DIR/out/NAME unchanged.
    lpadmin -p "$name" -v "outfile:$dir/out/$name"
    cupsenable "$name"
    cupsaccept "$name"
    if [ "$make_default" = default ]; then
        lpadmin -d "$name"
    fi
}

remove() {
    local name=$1
    [ -n "$name" ] || usage
    running_pid >/dev/null || { echo "private-cupsd: not running on $dir" >&2; exit 1; }
    lpadmin -x "$name"
}

stop() {
    local pid
    if ! pid=$(running_pid); then
        rm -f "$pid_file" "$socket"
        return 0
    fi
    kill -TERM "$pid"
    for _ in $(seq 50); do
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    kill -0 "$pid" 2>/dev/null && kill -KILL "$pid"
    rm -f "$pid_file" "$socket"
}

case "$command" in
start) [ $# -eq 2 ] || usage; start ;;
add) { [ $# -eq 3 ] || [ $# -eq 4 ]; } || usage; add "$3" "${4:-}" ;;
remove) [ $# -eq 3 ] || usage; remove "$3" ;;
stop) [ $# -eq 2 ] || usage; stop ;;
*) usage ;;
esac
