#!/usr/bin/env bash
# Builds an optimised program and runs the benchmarks (speed is measured here, never in tests).
#   [RUNS=N] bash scripts/bench.sh [options of kesta_bench]
#   [RUNS=N] bash scripts/bench.sh startup      (the start-up bench only)
#   [RUNS=N] [TABLE_RUNS=N] bash scripts/bench.sh table   (each measure beside its floor, start-up included)
# RUNS: start-ups of each window in the start-up bench (9 by default); its figures are their medians.
# TABLE_RUNS: repetitions of graphics.cfg's Apply and runs of kesta-cli and sed (21 by default, medians).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake -S . -B build/bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DKESTA_TESTS=OFF -DKESTA_BENCH=ON >/dev/null

# graphics.cfg loaded and applied through the window beside a plain read and atomic write of the same bytes,
# and kesta-cli's set as a whole process beside sed -i changing the same line; medians, CPU and wall time.
table() {
  local runs=${TABLE_RUNS:-21}
  echo
  echo "graphics.cfg load and Apply through the window, beside a plain read and atomic write of its bytes:"
  build/bench/bin/kesta_graphics_bench --benchmark_repetitions="$runs" --benchmark_report_aggregates_only=true \
    --benchmark_color=false 2>/dev/null | sed 's/\x1b\[[0-9;]*m//g' | grep 'x a plain read'
  local work
  work=$(mktemp -d)
  cp resources/Default/Graphics.cfg "$work/kesta.cfg"
  cp resources/Default/Graphics.cfg "$work/sed.cfg"
  echo
  echo "kesta-cli as a whole process (its write is synced to disk, sed's is not):"
  build/bench/bin/kesta_process_bench "$runs" "kesta-cli set graphics.cfg TextureLevel 2, beside sed -i" \
    -- build/bench/program/kesta-cli set "$work/kesta.cfg" TextureLevel 2 \
    -- sed -i 's/^TextureLevel = .*/TextureLevel = 2;\r/' "$work/sed.cfg"
  cmp -s "$work/kesta.cfg" "$work/sed.cfg" || echo "kesta-cli and sed wrote different bytes" >&2
  rm -rf "$work"
}

case "${1:-}" in
  startup)
    cmake --build build/bench --target kesta_startup_bench
    ;;
  table)
    cmake --build build/bench --target kesta_graphics_bench kesta_process_bench kesta-cli kesta_startup_bench
    table
    ;;
  *)
    cmake --build build/bench --target kesta_bench kesta_profiles_bench kesta_graphics_bench kesta_search_bench \
      kesta_backup_bench kesta_prefix_search_bench kesta_startup_bench kesta_process_bench kesta-cli
    build/bench/bin/kesta_bench "$@"
    build/bench/bin/kesta_backup_bench
    build/bench/bin/kesta_prefix_search_bench
    build/bench/bin/kesta_profiles_bench
    build/bench/bin/kesta_graphics_bench
    build/bench/bin/kesta_search_bench
    table
    ;;
esac

# Start-up on a copy of the program folder, on the offscreen platform so that no display is needed.
runs=${RUNS:-9}
folder=$(mktemp -d)
runtime=$(mktemp -d)
trap 'rm -rf "$folder" "$runtime"' EXIT
cp -r build/bench/program/. "$folder/"
# A runtime folder of the bench's own: the probe's single-instance claim must not wake a KESTA the
# player has open.
startup_bench() {
  XDG_RUNTIME_DIR="$runtime" QT_QPA_PLATFORM=offscreen build/bench/bin/kesta_startup_bench build/bench/bin/kesta_startup_probe "$folder" "$runs"
}

echo
echo "Start-up with the game folder in kesta.ini and no Wine prefix:"
printf '[Config]\nLockOnPath=%s/\n' "$(realpath build/bench/sample-game)" >"$folder/kesta.ini"
WINEPREFIX="$folder/no-prefix" startup_bench

# As the player meets it: the game installed in a real Wine prefix and found through its registry.
# Debian has no wine64 command: its loader sits in /usr/lib/wine.
wine=$(command -v wine64 || { [ -x /usr/lib/wine/wine64 ] && echo /usr/lib/wine/wine64; } || command -v wine || true)
if [ -z "$wine" ] || ! command -v wineserver >/dev/null; then
  echo
  echo "No Wine on this machine: the start-up in a Wine prefix is not measured (apt-get install wine64)."
  exit 0
fi
export WINEPREFIX="$PWD/build/bench/wine-prefix" WINEDEBUG=-all
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "Making the Wine prefix $WINEPREFIX once (about half a minute)..."
  WINEDLLOVERRIDES="mscoree,mshtml=" "$wine" wineboot -i >/dev/null 2>&1
fi
game="$WINEPREFIX/drive_c/Games/Lock On"
rm -rf "$game"
mkdir -p "$game"
cp -r build/bench/sample-game/. "$game/"
# The key is the settings' PathReg default; Wine writes its registry files when wineserver ends.
"$wine" reg add 'HKCU\Software\Eagle Dynamics\Lock On 1.1' /v Path /d 'C:\Games\Lock On\' /f >/dev/null
wineserver -w

echo
echo "Start-up in the Wine prefix, the game folder found through its registry:"
printf '[Config]\n' >"$folder/kesta.ini"
startup_bench
