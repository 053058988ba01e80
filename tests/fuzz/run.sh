#!/usr/bin/env bash
# Fuzzes map loading, region detection and world generation, then the save
# reader, with libFuzzer, half the time each.
# Usage: tests/fuzz/run.sh [SECONDS]   (default 60 in all; ./check runs it briefly)
# Findings (crash-*, leak-*, timeout-*) are written to build-fuzz/findings/.
set -euo pipefail
cd "$(dirname "$0")/../.."
secs=${1:-60}
half=$(( (secs + 1) / 2 ))
cmake -S . -B build-fuzz -G Ninja -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMARCHFELL_FUZZ=ON -DMARCHFELL_TESTS=OFF -DMARCHFELL_BENCH=OFF >/dev/null
cmake --build build-fuzz --target map_fuzz save_read_fuzz
mkdir -p build-fuzz/corpus build-fuzz/save-corpus build-fuzz/findings
# Undefined behaviour stops a run as a crash does.
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
build-fuzz/tests/fuzz/map_fuzz -max_total_time="$half" -rss_limit_mb=2048 -max_len=262144 -timeout=10 \
  -print_final_stats=1 -artifact_prefix=build-fuzz/findings/ build-fuzz/corpus tests/fuzz/seeds tests/whole/badmaps
# The save reader's input names the changes to a sound record, five bytes each.
build-fuzz/tests/fuzz/save_read_fuzz -max_total_time="$half" -rss_limit_mb=2048 -max_len=321 -len_control=0 -timeout=20 \
  -print_final_stats=1 -artifact_prefix=build-fuzz/findings/save- build-fuzz/save-corpus
