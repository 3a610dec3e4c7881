#!/usr/bin/env bash
# Configures and builds into BUILD_DIR (default build/). Extra arguments go to CMake.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build_dir=${BUILD_DIR:-$root/build}
cmake -S "$root" -B "$build_dir" -G Ninja -DVRN_WERROR=ON "$@" >/dev/null
cmake --build "$build_dir"
