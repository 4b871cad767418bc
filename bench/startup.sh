#!/usr/bin/env bash
# Whole-process start-up, from exec to the first complete radar picture, timed with hyperfine
# beside a program that opens an empty maximised main window (bench_empty_window). Each quits
# 1 ms after its window is up. Five commands: the baseline, the baseline showing one line of
# text (what loading the fonts costs any window with words on it), the baseline as a plain
# window of menus, a status line and thirty buttons in five groups (what such widgets cost
# before any work of the program's own), the program with the splash hold at zero (the work a
# user waits for), and the program as shipped.
#   bash bench/startup.sh [BUILD_DIR]          RUNS=N for more or fewer runs (default 20)
# Offscreen on a 1920 x 1080 screen (bench/screen-1080p.json) unless QT_QPA_PLATFORM says
# otherwise. Wall-clock times: run on an idle machine.
set -euo pipefail
cd "$(dirname "$0")/.."
# The runs the program records go to a folder of their own, removed at the end, not among
# the user's.
export MAROVANE_RUNS="$(mktemp -d)"
trap 'rm -rf "$MAROVANE_RUNS"' EXIT
build=${1:-build}
for f in "$build/bench/bench_empty_window" "$build/bin/marovane"; do
  [ -x "$f" ] || { echo "$f is missing: cmake --build $build first" >&2; exit 1; }
done
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen:configfile=$PWD/bench/screen-1080p.json}
hyperfine -N --warmup 3 --runs "${RUNS:-20}" \
  --command-name "empty main window" \
  "env MAROVANE_QUIT_AFTER_MS=1 $build/bench/bench_empty_window" \
  --command-name "main window with a line of text" \
  "env MAROVANE_QUIT_AFTER_MS=1 MAROVANE_BASELINE_TEXT=1 $build/bench/bench_empty_window" \
  --command-name "menus, status line and thirty buttons" \
  "env MAROVANE_QUIT_AFTER_MS=1 MAROVANE_BASELINE_WIDGETS=1 $build/bench/bench_empty_window" \
  --command-name "marovane, no splash hold" \
  "env MAROVANE_QUIT_AFTER_MS=1 MAROVANE_SPLASH_HOLD_MS=0 $build/bin/marovane" \
  --command-name "marovane as shipped" \
  "env MAROVANE_QUIT_AFTER_MS=1 $build/bin/marovane"
