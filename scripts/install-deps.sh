#!/usr/bin/env bash
# Installs the Debian packages the build, the tests, the benchmarks and the install
# check (package tools, desktop entry and metainfo validators, man) need.
# Runs apt only when something is missing, so repeated runs are quick.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  clang libclang-rt-14-dev clang-format
  libgtest-dev libgmock-dev libbenchmark-dev
  libmuparser-dev bc hyperfine
  qt6-base-dev qt6-svg-dev qt6-wayland libjpeg-dev
  fonts-dejavu-core fonts-liberation2
  xvfb xauth imagemagick
  desktop-file-utils appstream man-db dpkg-dev file shared-mime-info
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "install-deps: installing ${missing[*]}"
  sudo_cmd=()
  [ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
  export DEBIAN_FRONTEND=noninteractive
  "${sudo_cmd[@]}" apt-get update -qq
  "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
