#!/usr/bin/env bash
# Runs the programs' end-to-end tests once under valgrind memcheck: the test executables that
# start the real tamsel, brovik, rds-encoder-sim and rds-demod, with valgrind following them through shells
# into every program they start (system tools under /usr excepted). Every run of one of our
# programs must end with zero errors and zero leaks (definite, indirect or possible), and every
# test must still pass. The test drivers and shells run under valgrind too but are not judged.
#
# Usage: scripts/valgrind-e2e.sh [BUILD_DIR]      (default: build; built without sanitizers)
# Environment: JOBS (parallel test executables, default 2).
# Logs: BUILD_DIR/memcheck/<test>/<pid>.log, one per process.
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(cd "${1:-build}" && pwd)
jobs=${JOBS:-2}

if ! command -v valgrind >/dev/null 2>&1; then
  echo "valgrind-e2e: valgrind is missing (apt-get install valgrind)" >&2
  exit 2
fi

tests=(tests/e2e/e2e_tests tests/e2e/bad_input_tests tests/sender/tamsel_test
  tests/decoder/brovik_cli_tests)
present=()
for test in "${tests[@]}"; do
  if [ -x "$build/$test" ]; then
    present+=("$test")
  else
    echo "valgrind-e2e: $build/$test not built; skipped" >&2
  fi
done
[ ${#present[@]} -gt 0 ] || { echo "valgrind-e2e: no end-to-end tests built in $build" >&2; exit 2; }

run_one() {
  local build=$1 test=$2
  local name logs
  name=$(basename "$test")
  logs="$build/memcheck/$name"
  rm -rf "$logs"
  mkdir -p "$logs"
  local start=$SECONDS status=0
  valgrind --trace-children=yes --trace-children-skip='/usr/*' \
    --leak-check=full --errors-for-leak-kinds=definite,indirect,possible --show-leak-kinds=all \
    --track-origins=yes --log-file="$logs/%p.log" \
    "$build/$test" >"$logs/test-output.txt" 2>&1 || status=$?
  # Judge the logs of our programs only; a process that exec'd another keeps one log.
  local dirty="" checked=0 log
  for log in "$logs"/*.log; do
    grep -qE '^==[0-9]+== Command: [^ ]*/(tamsel|brovik|rds-encoder-sim|rds-demod)( |$)' "$log" || continue
    checked=$((checked + 1))
    grep -q 'ERROR SUMMARY: 0 errors' "$log" || dirty="$dirty $log"
  done
  if [ "$status" -ne 0 ] || [ -n "$dirty" ] || [ "$checked" -eq 0 ]; then
    echo "valgrind-e2e: $name FAILED (exit $status, $checked program runs checked) after" \
      "$((SECONDS - start)) s" >&2
    tail -n 30 "$logs/test-output.txt" >&2
    for log in $dirty; do
      echo "--- $log" >&2
      cat "$log" >&2
    done
    return 1
  fi
  echo "valgrind-e2e: $name clean in $((SECONDS - start)) s ($checked program runs)" >&2
}
export -f run_one

# shellcheck disable=SC2016  # expanded by the inner shell, which gets them as $0 and $1
printf '%s\n' "${present[@]}" | xargs -P "$jobs" -I{} bash -c 'run_one "$0" "$1"' "$build" {}
echo "valgrind-e2e: all clean in $SECONDS s" >&2
