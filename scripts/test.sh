#!/usr/bin/env bash
# Sets up, builds and runs the whole test suite.
# VRN_SANITIZE=address,undefined (or thread) builds into build-sanitize-<names>/
# with those sanitizers. VRN_TARGETS limits the build to those targets and
# VRN_TESTS the run to the tests whose names match that regular expression.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
args=()
if [ -n "${VRN_SANITIZE:-}" ]; then
  export BUILD_DIR=${BUILD_DIR:-$root/build-sanitize-${VRN_SANITIZE//,/-}}
  args+=(-DVRN_SANITIZE="$VRN_SANITIZE" -DCMAKE_BUILD_TYPE=RelWithDebInfo)
  export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=0}
  export UBSAN_OPTIONS=${UBSAN_OPTIONS:-halt_on_error=1:print_stacktrace=1}
  export TSAN_OPTIONS=${TSAN_OPTIONS:-halt_on_error=1:second_deadlock_stack=1}
fi
"$root/scripts/build.sh" "${args[@]}"
cd "${BUILD_DIR:-$root/build}"
ctest --output-on-failure -j2 ${VRN_TESTS:+-R "$VRN_TESTS"}
