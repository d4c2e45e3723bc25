#!/usr/bin/env bash
# Installs the Debian packages the build, the program and the tests need; does nothing when all are there.
set -euo pipefail

packages=(
  cmake ninja-build g++ ccache pkg-config
  qt6-base-dev libgl-dev libjpeg-dev libpng-dev libxrandr-dev
  libgtest-dev libbenchmark-dev
  lua5.1 liblua5.1-0-dev libpugixml-dev libsodium-dev xvfb xauth
  desktop-file-utils
  gcc-mingw-w64-x86-64-win32
  qt6-translations-l10n
  lintian mandoc appstream bash-completion fish dpkg-dev file
)
# Wine is installed as Debian recommends it (fonts, libraries it loads at run time): that is the Wine the
# tests in a real prefix were made with.
with_recommends=(wine wine64)

installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"; }
missing=()
for package in "${packages[@]}"; do installed "$package" || missing+=("$package"); done
missing_with_recommends=()
for package in "${with_recommends[@]}"; do installed "$package" || missing_with_recommends+=("$package"); done
[ ${#missing[@]} -eq 0 ] && [ ${#missing_with_recommends[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]} ${missing_with_recommends[*]}"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -q
[ ${#missing[@]} -eq 0 ] || $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
[ ${#missing_with_recommends[@]} -eq 0 ] || $sudo apt-get install -y -q "${missing_with_recommends[@]}"
