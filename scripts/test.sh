#!/usr/bin/env bash
# Installs what is needed, builds everything and runs every test headless.
# BUILD_DIR and SANITIZE=1 choose another build folder and the sanitizer build (which leaves
# the benchmarks out). With CI=true, warnings are errors.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
BUILD_DIR="${BUILD_DIR:-build}"
EXTRA=()
if [ "${SANITIZE:-0}" = 1 ]; then
  EXTRA+=(-DMAROVANE_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug -DMAROVANE_BUILD_BENCH=OFF)
fi
if [ "${CI:-}" = true ]; then EXTRA+=(-DMAROVANE_WERROR=ON); fi
cmake -S . -B "$BUILD_DIR" -G Ninja "${EXTRA[@]}"
cmake --build "$BUILD_DIR"
export QT_QPA_PLATFORM=offscreen
ctest --test-dir "$BUILD_DIR" --output-on-failure --timeout 60
