#!/usr/bin/env bash
# Builds in release mode, runs vrn-bench with JSON output and prints a table;
# then measures the peak memory of a 10,000-node build per style.
# Arguments go to vrn-bench (for example --benchmark_filter=BM_Generate).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build-bench}
"$root/scripts/setup.sh"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
cmake --build "$build" --target vrn-bench vrn-glsl
out=${BENCH_OUT:-$build/bench.json}
"$build/bench/vrn-bench" --benchmark_format=console --benchmark_out="$out" --benchmark_out_format=json \
  --benchmark_repetitions="${REPETITIONS:-3}" --benchmark_report_aggregates_only=true "$@"
python3 - "$out" <<'PY'
import json, sys
data = json.load(open(sys.argv[1]))
print("\n%-32s %14s %14s %12s %10s" % ("benchmark (median)", "time", "us/node", "MB/s", "compiles"))
for b in data["benchmarks"]:
    if b.get("aggregate_name") != "median":
        continue
    name = b["run_name"]
    unit = b.get("time_unit", "ns")
    per_node = "%.2f" % b["us_per_node"] if "us_per_node" in b else ""
    rate = "%.1f" % (b["bytes_per_second"] / 1e6) if "bytes_per_second" in b else ""
    compiles = "%.2f" % b["compiles"] if "compiles" in b else ""
    print("%-32s %11.3f %s %14s %12s %10s" % (name, b["real_time"], unit.ljust(2), per_node, rate, compiles))
PY
echo
for style in $("$build/tools/vrn-glsl" --list-generators | sed 's/.*Style//'); do
  # A build over the uniform-buffer limit exits 1 after writing everything; its memory counts too.
  kb=$( { /usr/bin/time -v "$build/tools/vrn-glsl" --style "$style" --random 1 --nodes 10000 >/dev/null || true; } 2>&1 | awk -F': ' '/Maximum resident/ {print $2}')
  echo "peak memory of a 10,000-node build, style $style: $((kb / 1024)) MB"
done
