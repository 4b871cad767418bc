#!/usr/bin/env bash
# Installs what is needed, builds the program alone (not the tests and benchmarks) and starts it.
# The help files, the tutorial and the manual are their own target: they are made in the
# background at low priority while the program runs (log in build/docs.log), so the window comes
# up first on a fresh clone.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build --target marovane
nice -n 10 cmake --build build --target marovane_docs >build/docs.log 2>&1 &
exec ./build/bin/marovane
