#!/usr/bin/env bash
# Builds the Debian package kesta_<version>_amd64.deb from an optimised build in build/package (rebuilt
# incrementally, through ccache) and prints its path. Beside it, in build/package/package/screenshots/,
# the screenshot tour's pictures the AppStream metainfo names, for publishing at KESTA_SCREENSHOT_URL.
#   bash scripts/package.sh [--no-setup] [CMAKE_OPTION...]   (for example -DKESTA_MAINTAINER="Name <mail>")
set -euo pipefail
cd "$(dirname "$0")/.."

if [ "${1:-}" = --no-setup ]; then shift; else bash scripts/setup.sh; fi
build=build/package

# Debian's hardening flags, all of them (less -g: the binaries are stripped).
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
cxxflags="$(dpkg-buildflags --get CXXFLAGS | sed 's/\(^\| \)-g\( \|$\)/ /') $(dpkg-buildflags --get CPPFLAGS)"
cflags="$(dpkg-buildflags --get CFLAGS | sed 's/\(^\| \)-g\( \|$\)/ /') $(dpkg-buildflags --get CPPFLAGS)"
# Section games: Debian puts the programs of games in /usr/games (in every user's PATH); the rest of the
# layout is the one cmake --install makes under /usr.
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DKESTA_TESTS=OFF -DCMAKE_INSTALL_PREFIX=/usr \
  -DCMAKE_INSTALL_BINDIR=games -DKESTA_SYSTEM_PACKAGE=ON \
  -DCMAKE_CXX_FLAGS="$cxxflags" -DCMAKE_C_FLAGS="$cflags" \
  -DCMAKE_EXE_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)" "$@" >/dev/null
cmake --build "$build"

out="$build/package"
rm -f "$out"/kesta_*.deb
(cd "$build" && cpack >/dev/null)
deb=$(ls "$out"/kesta_*_amd64.deb)

# The pictures the metainfo names, from the screenshot tour in English.
shots=$(mktemp -d)
trap 'rm -rf "$shots"' EXIT
env -u QT_QPA_PLATFORM xvfb-run -a -s "-screen 0 1280x1024x24" "$build/bin/kesta_screenshot_tour" "$shots" EN >/dev/null
rm -rf "$out/screenshots"
mkdir -p "$out/screenshots"
for image in $(sed -n 's|.*<image>.*/\([^/<]*\)</image>.*|\1|p' "$build"/packaging/*.metainfo.xml); do
  cp "$shots/$image" "$out/screenshots/" || { echo "the screenshot tour made no $image" >&2; exit 1; }
done
realpath "$deb"
