#!/usr/bin/env bash
# Configures and builds into BUILD_DIR (default build/). Extra arguments go to
# CMake; VRN_TARGETS (space-separated) builds only those targets.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build_dir=${BUILD_DIR:-$root/build}
cmake -S "$root" -B "$build_dir" -G Ninja -DVRN_WERROR=ON "$@" >/dev/null
targets=()
for target in ${VRN_TARGETS:-}; do targets+=(--target "$target"); done
cmake --build "$build_dir" "${targets[@]}"
