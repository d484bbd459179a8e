#!/usr/bin/env bash
# One short fuzzing run from the seed corpus, which stays as it is in the tree:
#   run_fuzzer.sh FUZZER SEED_DIR FINDINGS_DIR RUNS [DICTIONARY]
# New inputs go to a scratch directory; an input that breaks the target is kept in
# FINDINGS_DIR (crash-*, leak-*, timeout-*, oom-*) to be replayed with `FUZZER FILE`.
set -euo pipefail
fuzzer=$1 seeds=$2 findings=$3 runs=$4 dictionary=${5:-}

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
mkdir -p "$findings"

export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1}
# A fixed seed makes the short run the same every time; the time limit only guards the suite.
options=(-runs="$runs" -seed=1 -max_len=4096 -timeout=10 -rss_limit_mb=2048 -max_total_time=60
         -print_final_stats=1 -artifact_prefix="$findings/")
[ -n "$dictionary" ] && options+=(-dict="$dictionary")
"$fuzzer" "${options[@]}" "$scratch" "$seeds"
