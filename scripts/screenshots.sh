#!/usr/bin/env bash
# Starts the real window on a virtual X display, visits every page through the ribbon and saves a
# picture of each, the application menu and the tray menu into build/screenshots, in the languages given
# (all six without an argument); then the same at scale factor 2 into build/screenshots/scale2.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKESTA_TESTS=OFF >/dev/null
cmake --build build/release --target kesta_screenshot_tour kesta_resources
xvfb-run -a -s "-screen 0 1280x1024x24" build/release/bin/kesta_screenshot_tour build/screenshots "$@"
xvfb-run -a -s "-screen 0 2400x1800x24" build/release/bin/kesta_screenshot_tour --scale 2 build/screenshots/scale2 "$@"
echo "The pictures are in $(realpath build/screenshots)/ and $(realpath build/screenshots/scale2)/" >&2
