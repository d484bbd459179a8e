#!/usr/bin/env bash
# Installs what is needed, builds the player and runs its main job: a kestrum: link, as the
# platform would send it, decoded the way the player decodes it.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

bash scripts/install-deps.sh build
cmake -S . -B build/player -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKESTRUM_BUILD_TESTS=OFF >/dev/null
cmake --build build/player -j"$(nproc)" --target kestrum-tool

tool=build/player/kestrum-tool
link=$("$tool" mint-link --token "learner-token-42" \
        --content "https://localhost:8443/media/lesson-1.mp4" --server "https://localhost:8443/")
echo "Link minted with the stand-in platform's key:"
echo "  $link"
echo "The player decodes it to:"
"$tool" --trace decode-link "$link"
