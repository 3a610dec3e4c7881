#!/usr/bin/env bash
# Builds the fuzz targets with clang (address and undefined-behaviour
# sanitizers) and runs each for the given number of seconds (default 60).
# Crashing inputs are written to build-fuzz/crashes/.
set -euo pipefail
seconds=${1:-60}
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build-fuzz}
"$root/scripts/setup.sh" clang libclang-rt-dev
CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DVRN_FUZZ=ON -DBUILD_TESTING=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" --target fuzz-network-file fuzz-random-network
mkdir -p "$build/crashes" "$build/corpus-network-file" "$build/corpus-random-network"
# Seeds: the examples and every malformed file.
cp "$root"/examples/*.json "$root"/tests/data/malformed/*.json "$root"/tests/data/networks/*.json "$build/corpus-network-file/"
# Qt's JSON parser keeps a little memory on some broken inputs; leaks are not what these targets look for.
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=0}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-halt_on_error=1:print_stacktrace=1}
# The network-file target also gets the loader's rule tokens (names, comment ends, budgets).
dictionary=(-dict="$root/fuzz/network-file.dict")
for target in network-file random-network; do
  echo "fuzz-$target: $seconds s"
  extra=()
  [ "$target" = network-file ] && extra=("${dictionary[@]}")
  "$build/fuzz/fuzz-$target" "$build/corpus-$target" "${extra[@]}" -max_total_time="$seconds" -rss_limit_mb=4096 \
    -artifact_prefix="$build/crashes/$target-" -print_final_stats=1 2>&1 | tail -n 12
done
