#!/usr/bin/env bash
# Installs what is needed, builds the player and runs its main job against our stand-in
# platform service on loopback: the links the service hands out are decoded and resolved the
# way the player does it (pinned HTTPS, pins from the service, content data, page script).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

bash scripts/install-deps.sh build
cmake -S . -B build/player -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKESTRUM_BUILD_TESTS=OFF >/dev/null
cmake --build build/player -j"$(nproc)" --target kestrum-tool kestrum-platform

tool=build/player/kestrum-tool
service_out=$(mktemp)
build/player/tools/kestrum_platform/kestrum-platform --port 8443 >"$service_out" 2>&1 &
service_pid=$!
trap 'kill $service_pid 2>/dev/null; wait $service_pid 2>/dev/null; rm -f "$service_out"' EXIT
for _ in $(seq 1 100); do
    grep -q '^ready' "$service_out" && break
    sleep 0.1
done
grep -q '^ready' "$service_out" || { cat "$service_out"; exit 1; }

echo "== the stand-in platform service is up: $(sed -n 's/^listening platform //p' "$service_out")"
echo "== its certificate chain, as the player checks it"
"$tool" probe https://localhost:8443/start || true
for name in lesson-youtube notes-pdf interactive; do
    link=$(sed -nE "s/^link $name (kestrum:.*)/\1/p" "$service_out")
    echo "== link '$name', as the player resolves it"
    "$tool" resolve-link "$link" || true
done
