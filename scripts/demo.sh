#!/usr/bin/env bash
# Sets up, builds and runs vrn-glsl on the built-in demo network.
# Arguments go to vrn-glsl, for example: scripts/demo.sh --style 1
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
"$root/scripts/build.sh"
exec "${BUILD_DIR:-$root/build}/tools/vrn-glsl" "$@"
