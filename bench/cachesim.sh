#!/usr/bin/env bash
# What one warm build costs, counted by a simulated machine instead of timed:
# instructions, first-level data misses and last-level misses (reads,
# writes) of a build into the buffers of the build before, in one process.
# These counts do not move with the load of a shared machine, so two trees
# can be compared where timed runs swing by tens of percent.
#
#   bench/cachesim.sh STYLE NODES     e.g. bench/cachesim.sh 5 10000
#
# Runs vrn-bench under callgrind twice (one build, then three) and halves the
# difference. BUILD_DIR (default build-bench/) holds the vrn-bench to count;
# LL_BYTES (default 4 MB) sets the simulated last-level cache.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build-bench}
style=${1:?usage: $0 STYLE NODES}
nodes=${2:?usage: $0 STYLE NODES}
command -v valgrind >/dev/null || { echo "$0: valgrind is not installed (apt-get install valgrind)" >&2; exit 2; }
[ -x "$build/bench/vrn-bench" ] || { echo "$0: no $build/bench/vrn-bench; run bench/run.sh first" >&2; exit 2; }
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
for builds in 1 3; do
  # A fixed hash seed: the default one makes Qt's string hashing take another path per run.
  VRN_BENCH_ITERATIONS=$builds QT_HASH_SEED=1 valgrind --tool=callgrind --cache-sim=yes \
    --LL="${LL_BYTES:-4194304}",16,64 --callgrind-out-file="$out/$builds" \
    --toggle-collect='VrnShaderBuild::buildStagesInto*' \
    "$build/bench/vrn-bench" --benchmark_filter="^BM_Generate/$style/$nodes/" >/dev/null 2>&1 &
done
wait
python3 - "$out/1" "$out/3" "$style" "$nodes" <<'PY'
import sys

def summary(path):
    with open(path) as f:
        for line in f:
            if line.startswith("events:"):
                events = line.split()[1:]
            if line.startswith("summary:"):
                return dict(zip(events, (int(x) for x in line.split()[1:])))
    sys.exit("no summary in " + path)

one, three = summary(sys.argv[1]), summary(sys.argv[2])
warm = {k: (three[k] - one[k]) / 2 for k in one}
print("style %s, %s nodes, per warm build: %.2f M instructions, %.0f k first-level data read misses, "
      "%.0f k last-level read misses, %.0f k last-level write misses"
      % (sys.argv[3], sys.argv[4], warm["Ir"] / 1e6, warm["D1mr"] / 1e3, warm["DLmr"] / 1e3, warm["DLmw"] / 1e3))
PY
