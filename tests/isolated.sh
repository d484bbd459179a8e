#!/usr/bin/env bash
# Runs a test command where no other test run can reach its servers, nor it theirs.
# The stand-in service listens on the port the player's profile names (8443): two runs on one
# machine would otherwise bind the same ports and answer each other's players.
#   1. A private network namespace with its own loopback (as root, or through a user
#      namespace where the system allows one): nothing outside it sees its ports.
#   2. Otherwise the command waits for a machine-wide lock, so that runs which start servers
#      take turns instead of meeting.
# The command learns which way through KESTRUM_ISOLATION (netns, userns or lock).
#   isolated.sh <command> [arguments...]
set -u
[ $# -ge 1 ] || {
    echo "usage: isolated.sh <command> [arguments...]" >&2
    exit 2
}

# Already apart from other runs (a nested call): taking the lock again would wait for itself.
if [ -n "${KESTRUM_ISOLATION:-}" ] && [ "${1:-}" != "--inside" ]; then
    exec "$@"
fi

# Inside the namespace: loopback up, then the command in this same process.
if [ "${1:-}" = "--inside" ]; then
    shift
    ip link set lo up || {
        echo "isolated.sh: cannot bring up the loopback of the private network" >&2
        exit 1
    }
    exec "$@"
fi

can_isolate() {  # unshare options
    command -v unshare >/dev/null && command -v ip >/dev/null &&
        unshare "$@" sh -c 'ip link set lo up' >/dev/null 2>&1
}

if can_isolate -n; then
    export KESTRUM_ISOLATION=netns
    exec unshare -n bash "$0" --inside "$@"
fi
if can_isolate -r -n; then
    export KESTRUM_ISOLATION=userns
    exec unshare -r -n bash "$0" --inside "$@"
fi

export KESTRUM_ISOLATION=lock
lock=${TMPDIR:-/tmp}/kestrum-test-servers.lock
echo "isolated.sh: no private network here; waiting for the machine-wide test lock $lock" >&2
exec flock "$lock" "$@"
