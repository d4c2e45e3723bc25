#!/usr/bin/env bash
# Builds the program and starts it on the sample game installation that the build assembles.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKESTA_TESTS=OFF >/dev/null
cmake --build build/release

program=build/release/program
settings="$program/kesta.ini"
# Point a fresh program folder at the sample game; a folder the user chose is left alone.
if ! grep -qs '^LockOnPath=.' "$settings"; then
  printf '[Config]\nLockOnPath=%s/\n' "$(realpath build/release/sample-game)" >>"$settings"
fi

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display found: starting KESTA on a virtual X display (xvfb-run)." >&2
  exec xvfb-run -a "$program/kesta" "$@"
fi
exec "$program/kesta" "$@"
