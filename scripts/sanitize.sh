#!/usr/bin/env bash
# Builds every test a second time with AddressSanitizer and UndefinedBehaviorSanitizer and runs
# the whole suite in that build: out-of-bounds access, use after free, leaks, signed overflow,
# misaligned or null access, bad shifts and the like stop the test that triggers them.
#
# Usage: scripts/sanitize.sh [BUILD_DIR]        (default: build-sanitize)
# Environment: JOBS (parallel build and test jobs, default 2).
#
# clang is preferred (installed when missing and we may): then the fuzz targets are built in the
# same tree, so that `scripts/fuzz.sh` needs no third build. Without clang, gcc's sanitizers run
# the same tests and only the fuzzing is left out.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-sanitize}
jobs=${JOBS:-2}

scripts/install-deps.sh clang libclang-rt-dev >/dev/null 2>&1 || true
if command -v clang++ >/dev/null 2>&1; then
  compiler=clang++
  fuzz=ON
else
  echo "sanitize: clang++ not found, using g++ (no fuzz targets)" >&2
  compiler=g++
  fuzz=OFF
fi

cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_COMPILER="$compiler" -DRDS_SANITIZE=address,undefined -DRDS_BUILD_FUZZ="$fuzz" \
  -DRDS_WERROR=ON >/dev/null
start=$SECONDS
cmake --build "$build" -j "$jobs"
built=$SECONDS

# shellcheck source=scripts/sanitizer-env.sh
source scripts/sanitizer-env.sh
ctest --test-dir "$build" --output-on-failure -j "$jobs"
echo "sanitize: built in $((built - start)) s, tests ran in $((SECONDS - built)) s" >&2
