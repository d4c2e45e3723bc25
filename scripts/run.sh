#!/usr/bin/env bash
# Builds the program and starts it on the sample game installation that the build assembles.
# On a machine without a display it visits every page on a virtual display instead and saves a
# picture of each (language code as argument, English by default).
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKESTA_TESTS=OFF >/dev/null

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  cmake --build build/release --target kesta kesta_screenshot_tour
  echo "No display found: visiting every page of KESTA on a virtual X display (xvfb-run)." >&2
  xvfb-run -a -s "-screen 0 1280x1024x24" build/release/bin/kesta_screenshot_tour build/screenshots "${1:-EN}"
  echo "The pictures are in $(realpath build/screenshots)/" >&2
  exit 0
fi

cmake --build build/release
program=build/release/program
settings="$program/kesta.ini"
# Point a fresh program folder at the sample game; a folder the user chose is left alone.
if ! grep -qs '^LockOnPath=.' "$settings"; then
  printf '[Config]\nLockOnPath=%s/\n' "$(realpath build/release/sample-game)" >>"$settings"
fi
exec "$program/kesta"
