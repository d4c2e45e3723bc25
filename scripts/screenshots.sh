#!/usr/bin/env bash
# Pictures of every page of the window in every language (or the languages given), into build/screenshots.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake -S . -B build/test -G Ninja -DCMAKE_BUILD_TYPE=Debug -DKESTA_SANITIZE=ON -DKESTA_TESTS=ON >/dev/null
cmake --build build/test --target kesta_screenshot_tour kesta_resources
ASAN_OPTIONS=detect_leaks=0 build/test/bin/kesta_screenshot_tour build/screenshots "$@"
