#!/usr/bin/env bash
# Runs every libFuzzer target of fuzz/ for a while, one after the other, under AddressSanitizer
# and UndefinedBehaviorSanitizer, starting from its committed seed corpus.
#
# Usage: scripts/fuzz.sh [TARGET ...]          (default: every *_fuzzer that is built)
# Environment:
#   FUZZ_SECONDS  time per target, default 60
#   BUILD         build tree, default build-sanitize (shared with scripts/sanitize.sh)
#   JOBS          parallel build jobs, default 2
#
# New inputs that reach new code are kept in $BUILD/fuzz-corpus/<target>/ (not in the committed
# seeds, so a run leaves the source tree as it was); a crash, a hang of more than 5 s on one
# input, or a broken property leaves its input in $BUILD/fuzz-artifacts/<target>/ and the script
# exits 1, naming the file and the command that replays it.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${BUILD:-build-sanitize}
seconds=${FUZZ_SECONDS:-60}
jobs=${JOBS:-2}

scripts/install-deps.sh clang libclang-rt-dev >/dev/null 2>&1 || true
if ! command -v clang++ >/dev/null 2>&1; then
  echo "fuzz: clang++ is needed for libFuzzer (apt-get install clang)" >&2
  exit 2
fi
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
  -DRDS_SANITIZE=address,undefined -DRDS_BUILD_FUZZ=ON -DRDS_WERROR=ON >/dev/null
cmake --build "$build" -j "$jobs"

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for exe in "$build"/fuzz/*_fuzzer; do
    [ -x "$exe" ] && targets+=("$(basename "$exe" _fuzzer)")
  done
fi
if [ ${#targets[@]} -eq 0 ]; then
  echo "fuzz: no fuzz targets built in $build/fuzz" >&2
  exit 2
fi

# shellcheck source=scripts/sanitizer-env.sh
source scripts/sanitizer-env.sh
failed=0
for target in "${targets[@]}"; do
  exe="$build/fuzz/${target}_fuzzer"
  seeds="fuzz/corpus/$target"
  work="$build/fuzz-corpus/$target"
  artifacts="$build/fuzz-artifacts/$target"
  mkdir -p "$work" "$artifacts"
  # Per-target limits (input length, ...) live beside the seeds.
  options=()
  [ -f "fuzz/$target.options" ] && read -r -a options <"fuzz/$target.options"
  echo "fuzz: $target for ${seconds} s" >&2
  start=$SECONDS
  if "$exe" -max_total_time="$seconds" -timeout=5 -rss_limit_mb=2048 -print_final_stats=1 \
      -artifact_prefix="$artifacts/" "${options[@]}" "$work" "$seeds" >"$build/fuzz-$target.log" 2>&1; then
    stats=$(grep -E 'stat::number_of_executed_units|stat::peak_rss_mb' "$build/fuzz-$target.log" |
      awk '{printf "%s %s  ", $1, $2}')
    echo "fuzz: $target passed in $((SECONDS - start)) s: $stats corpus $(find "$work" -type f | wc -l)" >&2
  else
    failed=1
    tail -n 40 "$build/fuzz-$target.log" >&2
    for crash in "$artifacts"/*; do
      [ -f "$crash" ] && echo "fuzz: $target failed on $crash; replay: $exe $crash" >&2
    done
  fi
done
exit $failed
