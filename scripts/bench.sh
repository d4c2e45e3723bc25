#!/usr/bin/env bash
# Builds an optimised program and runs the benchmarks (speed is measured here, never in tests).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake -S . -B build/bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DKESTA_TESTS=OFF -DKESTA_BENCH=ON >/dev/null
cmake --build build/bench --target kesta_bench
build/bench/bin/kesta_bench "$@"
