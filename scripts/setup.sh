#!/usr/bin/env bash
# Installs the Debian packages the build, the program and the tests need; does nothing when all are there.
set -euo pipefail

packages=(
  cmake ninja-build g++ ccache pkg-config
  qt6-base-dev libgl-dev libjpeg-dev libxrandr-dev
  libgtest-dev libbenchmark-dev
  lua5.1 liblua5.1-0-dev libpugixml-dev xvfb xauth
  wine wine64 gcc-mingw-w64-x86-64-win32
)

missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -q
$sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
