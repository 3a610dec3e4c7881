#!/usr/bin/env bash
# Sets up, builds and runs the whole test suite.
# VRN_SANITIZE=address,undefined builds into build-sanitize/ with those sanitizers.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
args=()
if [ -n "${VRN_SANITIZE:-}" ]; then
  export BUILD_DIR=${BUILD_DIR:-$root/build-sanitize}
  args+=(-DVRN_SANITIZE="$VRN_SANITIZE" -DCMAKE_BUILD_TYPE=RelWithDebInfo)
  export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=0}
  export UBSAN_OPTIONS=${UBSAN_OPTIONS:-halt_on_error=1:print_stacktrace=1}
fi
"$root/scripts/build.sh" "${args[@]}"
cd "${BUILD_DIR:-$root/build}"
ctest --output-on-failure -j2
