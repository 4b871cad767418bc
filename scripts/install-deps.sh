#!/usr/bin/env bash
# Installs what building and testing Marovane needs on Debian 12.
set -euo pipefail
SUDO=""
if [ "$(id -u)" != 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
# qt6-tools-dev: the QtHelp library of the help viewer; qt6-documentation-tools: qhelpgenerator,
# which compiles the help files at build time. libsqlite3-dev: the run records; libtomlplusplus-dev:
# exercise files; nlohmann-json3-dev: the answer key's JSON; hyperfine: whole-process start-up
# timing; ccache: shorter rebuilds.
PACKAGES=(cmake ninja-build g++ git clang-format qt6-base-dev libgl-dev libgtest-dev libgmock-dev
  libbenchmark-dev qt6-tools-dev qt6-documentation-tools libqt6sql6-sqlite
  libsqlite3-dev libtomlplusplus-dev nlohmann-json3-dev hyperfine ccache
  # The classroom: the Mosquitto broker the instructor station starts (and the class tests
  # run a class through) and the client library every seat links.
  mosquitto libmosquitto-dev)
# CI also fuzzes, with clang's libFuzzer, and builds a German locale for the decimal-point
# test; a developer machine builds and tests without them (the test is then skipped).
if [ "${CI:-}" = true ]; then PACKAGES+=(clang libclang-rt-14-dev locales); fi
# bench/instructions.sh counts instructions under callgrind (the benchmarks only; no test needs
# it): MAROVANE_BENCH=1 adds valgrind, whose package also has the header the bench includes.
if [ "${MAROVANE_BENCH:-}" = 1 ]; then PACKAGES+=(valgrind); fi
missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  $SUDO apt-get update -q
  $SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
