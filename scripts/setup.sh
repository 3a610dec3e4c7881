#!/usr/bin/env bash
# Installs the Debian packages the project builds with, and any named as
# arguments, when any is missing.
set -euo pipefail

packages=(build-essential cmake ninja-build pkg-config qtbase5-dev libgtest-dev googletest
          libbenchmark-dev glslang-dev glslang-tools libegl-dev libgl-dev libopengl-dev time libegl-mesa0 libgl1-mesa-dri "$@")

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
