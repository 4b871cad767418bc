#!/usr/bin/env bash
# Resident memory of the program after it has run Default.dem at x30 for a while, against a
# program with an empty maximised main window on the same screen (and that window with menus,
# a status line and thirty buttons: what such widgets hold before any work of the program's
# own), all read from /proc/PID/status (VmRSS) at the same moment. Offscreen, on a 1920 x 1080
# screen and on a 3840 x 2160 one at two device pixels to the logical pixel.
#   bash bench/memory.sh [BUILD_DIR] [SECONDS]     (default build, 60 s)
set -euo pipefail
cd "$(dirname "$0")/.."
# The runs the program records go to a folder of their own, removed at the end, not among
# the user's.
export MAROVANE_RUNS="$(mktemp -d)"
trap 'rm -rf "$MAROVANE_RUNS"' EXIT
build=${1:-build}
seconds=${2:-60}
rss() { awk '/^VmRSS:/ { print $2 }' "/proc/$1/status"; }
for screen in "1080p 1" "4k 2"; do
  set -- $screen
  export QT_QPA_PLATFORM="offscreen:configfile=$PWD/bench/screen-$1.json" QT_SCALE_FACTOR=$2
  export MAROVANE_QUIT_AFTER_MS=$(( (seconds + 5) * 1000 ))
  "$build/bin/marovane" --time-factor 30 >/dev/null 2>&1 &
  program=$!
  "$build/bench/bench_empty_window" >/dev/null 2>&1 &
  empty=$!
  MAROVANE_BASELINE_WIDGETS=1 "$build/bench/bench_empty_window" >/dev/null 2>&1 &
  widgets=$!
  sleep "$seconds"
  p=$(rss $program) e=$(rss $empty) w=$(rss $widgets)
  wait $program $empty $widgets
  awk -v s="$1" -v p="$p" -v e="$e" -v w="$w" -v t="$seconds" 'BEGIN {
    printf "%s screen after %d s: program %.1f MiB, empty window %.1f MiB, +%.1f MiB " \
           "(menus and thirty buttons: +%.1f MiB)\n",
           s, t, p / 1024, e / 1024, (p - e) / 1024, (w - e) / 1024 }'
done
