#!/usr/bin/env bash
# Runs clang-tidy on every source file of ours that the build compiles, in parallel, with the
# compile commands of that build (compile_commands.json) and the checks of the root .clang-tidy
# as each folder's .clang-tidy refines them. Any finding fails the run (CI, `make test`).
#
# Usage: scripts/tidy.sh [BUILD_DIR] [FILE ...]
#   BUILD_DIR  a build tree, default build; configured as CI does when it has no compile commands
#   FILE       only these sources (paths as in the tree); default every one in the build
# Environment: JOBS (parallel clang-tidy runs, default the number of cores).
# Exit code: 0 no finding, 1 findings (printed), 2 clang-tidy or the build tree is missing.
#
# Only our own sources are checked (not the C++ library, GoogleTest or libsndfile): the headers
# through the HeaderFilterRegex of .clang-tidy, the sources through the list below. Headers are
# checked as part of every source that includes them; each finding is printed once.
set -euo pipefail
shopt -s nullglob
cd "$(dirname "$0")/.."
repo=$(pwd)
build=${1:-build}
shift || true
jobs=${JOBS:-$(nproc)}

scripts/install-deps.sh clang-tidy >/dev/null 2>&1 || true
if ! command -v clang-tidy >/dev/null 2>&1; then
  echo "tidy: clang-tidy is needed (apt-get install clang-tidy)" >&2
  exit 2
fi
database=$build/compile_commands.json
if [ ! -f "$database" ]; then
  # Only the compile commands and the generated headers are needed, not a build; as in CI.
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DRDS_WERROR=ON \
    -DRDS_BUILD_BENCH=ON >/dev/null || exit 2
fi

if [ $# -gt 0 ]; then
  # Only what this build compiles: a Windows-only source has no compile command on Linux, and
  # clang-tidy would guess one without the Windows headers.
  files=()
  for file in "$@"; do
    if grep -qF "\"file\": \"$repo/${file#./}\"" "$database"; then
      files+=("$repo/${file#./}")
    else
      echo "tidy: ${file#./} is not compiled in $build; skipped" >&2
    fi
  done
else
  # Every compiled file of ours; generated and outside sources do not match the folders.
  mapfile -t files < <(sed -n 's/^ *"file": "\(.*\)",\{0,1\}$/\1/p' "$database" |
    grep -E "^$repo/(bench|decoder|demod|fuzz|platform|rdscore|sender|serial|simulator|tests|tools|uecp)/" |
    sort -u)
fi
if [ ${#files[@]} -eq 0 ]; then
  echo "tidy: no sources of ours in $database" >&2
  exit 2
fi

out=$(mktemp -d "${TMPDIR:-/tmp}/rds-tidy.XXXXXX")
trap 'rm -rf "$out"' EXIT
start=$SECONDS

# A source found clean is not checked again while it, every header and configuration of ours
# and the tool stay the same: BUILD_DIR/tidy-clean/ holds one mark per clean source under a hash
# of all that. Changing a source re-checks that source; changing a header, a .clang-tidy, a
# CMakeLists.txt or clang-tidy re-checks everything. A cold run (CI's fresh clone) checks all.
cache=$build/tidy-clean
mkdir -p "$cache"
context=$( {
  clang-tidy --version
  find . -path ./.git -prune -o -path "./build*" -prune -o \
    \( -name '*.h' -o -name .clang-tidy -o -name CMakeLists.txt -o -name '*.cmake' \) -print |
    LC_ALL=C sort | xargs cat
  grep -E '^(CMAKE_CXX_FLAGS|CMAKE_BUILD_TYPE|RDS_)' "$build/CMakeCache.txt" || true
} | sha256sum | cut -c1-64)

# One log per source (clang-tidy's "N warnings generated" chatter goes to a second file, shown
# only when clang-tidy itself fails). gcc's warning options that clang does not know are no
# finding.
# shellcheck disable=SC2016  # expanded by the inner shell
printf '%s\n' "${files[@]}" | xargs -P "$jobs" -I{} sh -c \
  'log="$3/$(echo "$2" | tr / _)"
   mark="$4/$( { echo "$5"; cat "$2"; } | sha256sum | cut -c1-64)"
   if [ -e "$mark" ]; then echo "$2" >>"$3/cached"; exit 0; fi
   start=$(date +%s%N)
   if clang-tidy --quiet -p "$1" --extra-arg=-Wno-unknown-warning-option "$2" >"$log.out" \
       2>"$log.err"; then
     : >"$mark"
   else
     echo "$2" >>"$3/failed"
   fi
   echo "$(( ($(date +%s%N) - start) / 1000000 )) $2" >"$log.ms"' \
  _ "$build" {} "$out" "$cache" "$context"

# A header's finding shows up once per source that includes it: print each finding (its line,
# the code and the notes after it) once.
findings=$(cat /dev/null "$out"/*.out | awk '
  /^\/[^ ]*:[0-9]+:[0-9]+: (warning|error): / { keep = !seen[$0]++ }
  keep { print }' | sed "s|$repo/||")
count=$(printf '%s\n' "$findings" | grep -cE '^[^ ]+:[0-9]+:[0-9]+: (warning|error): ' || true)
seconds=$((SECONDS - start))
if [ -s "$out/failed" ]; then
  [ -n "$findings" ] && printf '%s\n' "$findings"
  if [ "$count" -eq 0 ]; then
    # No finding, yet clang-tidy failed: say what it said.
    while read -r file; do
      echo "--- clang-tidy on ${file#"$repo"/}:" >&2
      cat "$out/$(echo "$file" | tr / _).err" >&2
    done <"$out/failed"
  fi
  echo "tidy: $count finding(s); clang-tidy failed on $(wc -l <"$out/failed") of ${#files[@]}" \
    "files ($seconds s)" >&2
  exit 1
fi
cached=0
[ -f "$out/cached" ] && cached=$(wc -l <"$out/cached")
echo "tidy: ${#files[@]} files clean in $seconds s ($cached of them unchanged since a clean run)" >&2
# What the time went on: most of it is the library headers each file includes (GoogleTest,
# nlohmann-json), which every check walks through (docs/quality-gate.md).
cat /dev/null "$out"/*.ms | sort -rn | head -n 3 | awk -v repo="$repo/" \
  '{ sub(repo, "", $2); printf "tidy: slowest %s (%.1f s)\n", $2, $1 / 1000 }' >&2
