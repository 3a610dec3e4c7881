#!/usr/bin/env bash
# Dumps what the generators write, so that a change that should not alter the
# output can be checked against the tree before it:
#
#   scripts/compare-outputs.sh dump DIR    every example (as it is and with
#                                          NODE_BAKE), RANDOM random networks
#                                          and two of 2,000 and 3,000 nodes,
#                                          styles 1 to 6: each stage's source,
#                                          the uniform report (uniform blocks,
#                                          locations, tessellation text), the log
#   scripts/compare-outputs.sh diff A B    the files that differ; status 1 if any
#
# Every example is also drawn with every style, small, which shows how the
# renderer encodes the uniform values (RENDER=0 leaves that out).
# Environment: BUILD_DIR (default build/), RANDOM_NETWORKS (default 300),
# JOBS (parallel runs, default 2).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build_dir=${BUILD_DIR:-$root/build}
jobs=${JOBS:-2}

usage()
{
  echo "usage: $0 dump DIR | diff DIR_A DIR_B" >&2
  exit 2
}

# One job a line: output file name, then the tool's arguments.
job_list()
{
  local style example name seed
  for style in 1 2 3 4 5 6; do
    for example in "$root"/examples/*.json; do
      name=$(basename "$example" .json)
      for what in source uniforms log; do
        echo "ex-$name-s$style.$what vrn-glsl --style $style --emit $what $example"
        echo "ex-$name-bake-s$style.$what vrn-glsl --style $style --define NODE_BAKE --emit $what $example"
      done
      if [ "${RENDER:-1}" = 1 ]; then
        echo "ex-$name-s$style.png vrn-render --style $style --size 64 -o @OUT@ $example"
      fi
    done
    for seed in $(seq 1 "${RANDOM_NETWORKS:-300}"); do
      # Sizes from 1 to 40 nodes, so that small and larger graphs both appear.
      local nodes=$(( (seed * 7) % 40 + 1 ))
      for what in source uniforms; do
        echo "rnd-$seed-n$nodes-s$style.$what vrn-glsl --style $style --random $seed --nodes $nodes --emit $what"
      done
    done
    # Two networks long enough that the passes read their lists ahead.
    for nodes in 2000 3000; do
      for what in source uniforms; do
        echo "big-n$nodes-s$style.$what vrn-glsl --style $style --random 1 --nodes $nodes --emit $what"
      done
    done
  done
}

# Runs one job; the exit status and any message end up in the file too.
run_job()
{
  local out=$1 tool=$2
  shift 2
  local file="$DUMP_DIR/$out" status=0
  if [ "$tool" = vrn-render ]; then
    local args=("${@/@OUT@/$file}")
    "$build_dir/tools/$tool" "${args[@]}" >"$file.txt" 2>&1 || status=$?
    echo "exit $status" >>"$file.txt"
  else
    "$build_dir/tools/$tool" "$@" >"$file" 2>&1 || status=$?
    echo "exit $status" >>"$file"
  fi
}

case "${1:-}" in
  dump)
    [ $# -eq 2 ] || usage
    rm -rf "$2"
    mkdir -p "$2"
    export DUMP_DIR=$(cd "$2" && pwd) build_dir
    export -f run_job
    job_list | xargs -P "$jobs" -L 1 bash -c 'run_job "$@"' _
    echo "$(ls "$2" | wc -l) files in $2"
    ;;
  diff)
    [ $# -eq 3 ] || usage
    if diff -rq "$2" "$3"; then
      echo "identical: $(ls "$2" | wc -l) files"
    else
      exit 1
    fi
    ;;
  *) usage ;;
esac
