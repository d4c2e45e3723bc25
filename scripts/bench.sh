#!/usr/bin/env bash
# Builds an optimised program and runs the benchmarks (speed is measured here, never in tests).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake -S . -B build/bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DKESTA_TESTS=OFF -DKESTA_BENCH=ON >/dev/null
cmake --build build/bench --target kesta_bench kesta_profiles_bench kesta_graphics_bench kesta_startup_bench
build/bench/bin/kesta_bench "$@"
build/bench/bin/kesta_profiles_bench
build/bench/bin/kesta_graphics_bench

# Start-up on a copy of the sample game, on the offscreen platform so that no display is needed.
folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT
cp -r build/bench/program/. "$folder/"
printf '[Config]\nLockOnPath=%s/\n' "$(realpath build/bench/sample-game)" >"$folder/kesta.ini"
QT_QPA_PLATFORM=offscreen build/bench/bin/kesta_startup_bench build/bench/bin/kesta_startup_probe "$folder"
