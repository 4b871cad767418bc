#!/usr/bin/env bash
# The radar console's cases in time and in instructions, in one table: the ratio of each case to
# its baseline in processor time (an ordinary run of bench_radar), and in instructions per step
# (the same steps counted by callgrind). A ratio of times to a memory-bound baseline swings from
# machine to machine; the count of instructions does not, so a goal is held on both.
#
#   bench/instructions.sh BUILD_DIR [steps counted, default 20] [bench_radar's own flags...]
#
# Run it with QT_SCALE_FACTOR=2 for a 4K screen. Needs valgrind (scripts/install-deps.sh with
# MAROVANE_BENCH=1 installs it); the bench is built with <valgrind/callgrind.h> found.
set -euo pipefail
build=${1:?usage: bench/instructions.sh BUILD_DIR [STEPS] [bench flags...]}
steps=${2:-20}
shift $(( $# >= 2 ? 2 : 1 ))
bench="$build/bench/bench_radar"
[ -x "$bench" ] || { echo "instructions.sh: no $bench; build the bench_radar target" >&2; exit 1; }
command -v valgrind >/dev/null || {
  echo "instructions.sh: valgrind is not installed (MAROVANE_BENCH=1 scripts/install-deps.sh)" >&2
  exit 1
}
export QT_QPA_PLATFORM=offscreen
out=$(mktemp -d)
trap '[ -n "${KEEP:-}" ] || rm -rf "$out"' EXIT

"$bench" "$@" >"$out/time.txt" 2>"$out/time.err"
# Instrumentation starts after start-up, and only the counted steps are collected; each case's
# counts are dumped to a file of their own under its name.
valgrind --tool=callgrind --instr-atstart=no --collect-atstart=no \
  --callgrind-out-file="$out/callgrind.out" "$bench" --instructions="$steps" \
  >"$out/count.txt" 2>"$out/count.err" ||
  { cat "$out/count.err" >&2; exit 1; }

# Instructions per step of a case, from the dump that carries its name.
per_step() {
  local f
  for f in "$out"/callgrind.out.*; do
    if grep -q "^desc: Trigger: Client Request: $1\$" "$f"; then
      awk -v n="$steps" '/^(summary|totals):/ { printf "%.0f", $2 / n; exit }' "$f"
      return
    fi
  done
  echo 0
}
# The processor-time ratio the bench printed under a label.
time_ratio() {
  grep -F "$1" "$out/time.txt" | grep -v "^BM_" | head -1 | sed -E 's/.*: ([0-9.]+) \(.*/\1/'
}

printf '%-24s %-20s %10s %14s %14s %10s\n' case baseline "time ratio" "Ir/step" \
  "baseline Ir" "Ir ratio"
while IFS='|' read -r name base label; do
  ir=$(per_step "$name")
  bir=$(per_step "$base")
  ratio=$(time_ratio "$label")
  awk -v n="$name" -v b="$base" -v t="${ratio:-?}" -v i="$ir" -v bi="$bir" 'BEGIN {
    r = (bi > 0) ? sprintf("%.2f", i / bi) : "?"
    printf "%-24s %-20s %10s %14.0f %14.0f %10s\n", n, b, t, i, bi, r }'
done <<'CASES'
BM_RangeStep|BM_BaselineFillBlit|range step and repaint / fill and blit
BM_TickAndRepaint|BM_BaselineFillBlit|tick and repaint / fill and blit
BM_Tick|BM_BaselineFill|tick / fill at
BM_DragStep|BM_BaselineDragStep|drag step / a window filling itself
CASES
grep -F "drag step, " "$out/time.txt" || true
