#!/usr/bin/env bash
# Fuzzes the demo and yaw readers, the chooser's preview, the number texts, the CPA
# arithmetic, the own-targets and manoeuvre entries, the exercise number, exercise files, marovane-plot's
# command line, the run records and the class's messages with clang's libFuzzer under AddressSanitizer and UndefinedBehaviorSanitizer, FUZZ_SECONDS (default 30)
# per harness, in build-fuzz/. Each corpus is seeded from data/ and fuzz/corpus/ and grows in
# build-fuzz/corpus/; a crash or a broken property stops the run with the input saved in
# build-fuzz/artifacts/. Without clang and libFuzzer the harnesses replay their seeds once.
set -euo pipefail
cd "$(dirname "$0")/.."
SECONDS_EACH="${FUZZ_SECONDS:-30}"
BUILD_DIR="${BUILD_DIR:-build-fuzz}"
HARNESSES=(demo yaw number_text cpa preview own_targets maneuver exercise exercise_file plot record results class)

have_libfuzzer() {
  command -v clang++ >/dev/null 2>&1 || return 1
  local probe
  probe="$(mktemp -d)"
  echo 'extern "C" int LLVMFuzzerTestOneInput(const unsigned char*, unsigned long) { return 0; }' \
    >"$probe/probe.cpp"
  clang++ -fsanitize=fuzzer "$probe/probe.cpp" -o "$probe/probe" >/dev/null 2>&1
  local ok=$?
  rm -rf "$probe"
  return $ok
}

if ! have_libfuzzer; then
  echo "clang's libFuzzer is not installed: replaying the seed corpora only"
  cmake -S . -B "$BUILD_DIR" -G Ninja -DMAROVANE_SANITIZE=ON -DMAROVANE_BUILD_GUI=OFF \
    -DMAROVANE_BUILD_TESTS=ON -DMAROVANE_BUILD_BENCH=OFF
  cmake --build "$BUILD_DIR" --target "${HARNESSES[@]/#/fuzz_}"
  ctest --test-dir "$BUILD_DIR" -R '^fuzz_replay_' --output-on-failure
  exit 0
fi

CC=clang CXX=clang++ cmake -S . -B "$BUILD_DIR" -G Ninja -DMAROVANE_FUZZ=ON \
  -DMAROVANE_SANITIZE=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMAROVANE_BUILD_GUI=OFF \
  -DMAROVANE_BUILD_TESTS=OFF -DMAROVANE_BUILD_BENCH=OFF
cmake --build "$BUILD_DIR" --target "${HARNESSES[@]/#/fuzz_}"

export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"
mkdir -p "$BUILD_DIR/artifacts"
summary=()
for h in "${HARNESSES[@]}"; do
  corpus="$BUILD_DIR/corpus/$h"
  mkdir -p "$corpus"
  cp -n fuzz/corpus/"$h"/* "$corpus"/
  case "$h" in
    demo | preview) cp -n data/*.dem "$corpus"/ ;;
    yaw) cp -n data/Yaw.txt "$corpus"/ ;;
    exercise_file) cp -n data/*.toml "$corpus"/ ;;
  esac
  log="$BUILD_DIR/fuzz_$h.log"
  echo "fuzz_$h: ${SECONDS_EACH} s"
  # FUZZ_SEED fixes the order of the mutations (CI does, so a run is repeatable).
  "$BUILD_DIR/fuzz/fuzz_$h" -max_total_time="$SECONDS_EACH" -timeout=10 -print_final_stats=1 \
    ${FUZZ_SEED:+-seed="$FUZZ_SEED"} \
    -artifact_prefix="$BUILD_DIR/artifacts/$h-" "$corpus" >"$log" 2>&1 || {
    tail -n 60 "$log"
    echo "fuzz_$h failed: see $log and $BUILD_DIR/artifacts/"
    exit 1
  }
  runs="$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")"
  summary+=("fuzz_$h: $runs runs in ${SECONDS_EACH} s, corpus $(ls "$corpus" | wc -l) inputs")
done
printf '%s\n' "${summary[@]}"
