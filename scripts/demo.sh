#!/usr/bin/env bash
# Sets up, builds and runs vrn-glsl on the built-in demo network.
# Arguments go to vrn-glsl, for example: scripts/demo.sh --style 1
# Set-up and build messages go to stderr, so stdout holds only vrn-glsl's output
# (scripts/demo.sh --stage fragment > demo.frag gives a clean file).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh" >&2
"$root/scripts/build.sh" >&2
exec "${BUILD_DIR:-$root/build}/tools/vrn-glsl" "$@"
