#!/usr/bin/env bash
# Installs what is needed, builds every configuration and runs every test:
#   1. native Linux build: unit, tool and build checks under CTest, then the benchmark;
#   2. sanitizers build (ASan + UBSan): the unit tests again;
#   3. clang sanitizers build (ASan + UBSan): the unit tests again, then each fuzzer for a
#      short run from its seed corpus;
#   4. Windows cross build (mingw-w64): the same tests under Wine.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
jobs=$(nproc)

bash scripts/install-deps.sh test

echo "== native build"
cmake -S . -B build/native -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKESTRUM_BUILD_TESTS=ON >/dev/null
cmake --build build/native -j"$jobs"
ctest --test-dir build/native --output-on-failure -j"$jobs" --timeout 300

echo "== Debian package: build, validate, install, link handler, removal"
bash tests/packaging/package_test.sh build/native
echo "== every character of the pages and windows has a font"
bash tests/packaging/glyph_coverage_test.sh

echo "== benchmarks (link decoding, request handling)"
build/native/tests/kestrum_benchmarks --benchmark_min_time=0.2

echo "== browser start, memory and network turns next to a bare WebKitGTK window"
bash tests/bench/browser_start_harness.sh build/native/kestrum build/native/kestrum-tool \
    build/native/tools/kestrum_platform/kestrum-platform build/native/tests/bare_webkit_window \
    build/native/tests/delay_proxy

echo "== sanitizers build"
cmake -S . -B build/sanitize -DCMAKE_BUILD_TYPE=Debug -DKESTRUM_SANITIZE=ON \
      -DKESTRUM_PORTABLE_ONLY=ON >/dev/null
cmake --build build/sanitize -j"$jobs"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 \
    LSAN_OPTIONS=suppressions="$root/tests/sanitizer/lsan.supp" \
    ctest --test-dir build/sanitize --output-on-failure -j"$jobs" --timeout 300

echo "== clang sanitizers build"
cmake -S . -B build/clang -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
      -DCMAKE_BUILD_TYPE=Debug -DKESTRUM_SANITIZE=ON -DKESTRUM_FUZZ=ON \
      -DKESTRUM_PORTABLE_ONLY=ON >/dev/null
cmake --build build/clang -j"$jobs"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 \
    LSAN_OPTIONS=suppressions="$root/tests/sanitizer/lsan.supp" \
    ctest --test-dir build/clang --label-exclude fuzz --output-on-failure -j"$jobs" --timeout 300

echo "== fuzzers, short runs"
ctest --test-dir build/clang --label-regex fuzz --output-on-failure -j"$jobs"

echo "== Windows cross build, tests under Wine"
# The integration tests under Wine talk to the natively built stand-in service.
cmake -S . -B build/win -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw-w64.cmake \
      -DCMAKE_BUILD_TYPE=Release \
      -DKESTRUM_NATIVE_PLATFORM_SERVICE="$root/build/native/tools/kestrum_platform/kestrum-platform" \
      >/dev/null
cmake --build build/win -j"$jobs"
# Wine's server, its display and the tests' servers share one private network, apart from
# other runs: Wine programs inside a namespace do not get on with a server outside it.
bash tests/isolated.sh bash -c '
    source scripts/wine-session.sh
    wine_session_start "$1/build/win/wineprefix"
    trap wine_session_stop EXIT
    ctest --test-dir build/win --output-on-failure --timeout 300' wine-tests "$root"
