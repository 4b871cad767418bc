#!/usr/bin/env bash
# Private memory (USS: Private_Clean + Private_Dirty of /proc/PID/smaps_rollup, what the process
# alone holds; shared libraries and fonts mapped by every Qt program are left out) of the
# program after it has run Default.dem at x30 for a while, against a program with an empty
# maximised main window on the same screen (and that window with menus, a status line and
# thirty buttons: what such widgets hold before any work of the program's own), all read at
# the same moment. Offscreen, on a 1920 x 1080 screen and on a 3840 x 2160 one at two device
# pixels to the logical pixel.
#   bash bench/memory.sh [BUILD_DIR] [SECONDS]     (default build, 60 s)
#   GROWTH=1 bash bench/memory.sh [BUILD_DIR]      the program's growth from 60 s to 300 s
# The description that opens over the first exercise would hold the clock for a reader; it is
# left unopened (MAROVANE_NO_DESCRIPTION) so the exercise runs from the start.
set -euo pipefail
cd "$(dirname "$0")/.."
# The runs the program records go to a folder of their own, removed at the end, not among
# the user's.
export MAROVANE_RUNS="$(mktemp -d)"
trap 'rm -rf "$MAROVANE_RUNS"' EXIT
build=${1:-build}
seconds=${2:-60}
[ -n "${GROWTH:-}" ] && seconds=300
for f in "$build/bench/bench_empty_window" "$build/bin/marovane"; do
  [ -x "$f" ] || { echo "$f is missing: cmake --build $build first" >&2; exit 1; }
done
# kB of private memory, or a message naming the process that has gone.
uss() {
  awk '/^Private_(Clean|Dirty):/ { kb += $2 } END { print kb + 0 }' \
    "/proc/$1/smaps_rollup" 2>/dev/null || { echo "process $1 ended early" >&2; exit 1; }
}
mib() { awk -v k="$1" 'BEGIN { printf "%.1f", k / 1024 }'; }
for screen in "1080p 1" "4k 2"; do
  set -- $screen
  export QT_QPA_PLATFORM="offscreen:configfile=$PWD/bench/screen-$1.json" QT_SCALE_FACTOR=$2
  export MAROVANE_QUIT_AFTER_MS=$(( (seconds + 5) * 1000 ))
  errors="$MAROVANE_RUNS/stderr-$1"
  MAROVANE_NO_DESCRIPTION=1 "$build/bin/marovane" --time-factor 30 >/dev/null 2>"$errors" &
  program=$!
  "$build/bench/bench_empty_window" >/dev/null 2>&1 &
  empty=$!
  MAROVANE_BASELINE_WIDGETS=1 "$build/bench/bench_empty_window" >/dev/null 2>&1 &
  widgets=$!
  if [ -n "${GROWTH:-}" ]; then
    sleep 60
    first=$(uss $program)
    sleep 240
    last=$(uss $program)
    echo "$1 screen: program $(mib "$first") MiB at 60 s, $(mib "$last") MiB at 300 s," \
      "grown $(mib $((last - first))) MiB"
  else
    sleep "$seconds"
    p=$(uss $program) e=$(uss $empty) w=$(uss $widgets)
    echo "$1 screen after $seconds s (USS): program $(mib "$p") MiB, empty window" \
      "$(mib "$e") MiB, +$(mib $((p - e))) MiB (menus and thirty buttons: +$(mib $((w - e))) MiB)"
  fi
  wait $program $empty $widgets
  # A factor the program refused would measure a run at its own pace: say so and stop.
  if grep -q -- "--time-factor" "$errors"; then
    cat "$errors" >&2
    exit 1
  fi
done
