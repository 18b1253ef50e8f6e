#!/usr/bin/env bash
# The Windows checks of CI: cross-build both programs and the unit tests with mingw-w64 (64-bit
# and 32-bit), then under Wine run the 64-bit unit tests, compare brovik.exe's reports with the
# Linux build's, and run tamsel.exe against the encoder simulator on a pseudo-terminal and, with
# its station commands, over TCP (Winsock).
#
# Usage: scripts/windows/ci.sh [LINUX_BUILD_DIR]
#   LINUX_BUILD_DIR (default: build) must hold the Linux build (`make build`): its brovik is the
#   reference for the reports, its rds-encoder-sim the far end of the serial line.
# Exit code: 0 when every check passed, 1 when one failed, 70 when Wine cannot run safely.
set -euo pipefail
cd "$(dirname "$0")/../.."
repo=$(pwd)
linux_build=$(readlink -m "${1:-build}")
win64=$repo/build-win64
win32=$repo/build-win32
prefix=$win64/wine
work=$win64/checks
jobs=${RDS_JOBS:-2}
wine_run=$repo/scripts/windows/wine-run

passed=0
failed=0
skipped=0
started=$SECONDS
pass() {
  passed=$((passed + 1))
  echo "PASS  $*"
}
fail() {
  failed=$((failed + 1))
  echo "FAIL  $*"
}
skip() {
  skipped=$((skipped + 1))
  echo "SKIP  $*"
}
stage() {
  echo
  echo "== $* (at $((SECONDS - started)) s)"
}

# Every background process we start is ours to end; Wine's server is ended by prefix.
sim_pid=
build32_pid=
cleanup() {
  if [[ -n $sim_pid ]]; then kill "$sim_pid" 2>/dev/null || true; fi
  if [[ -n $build32_pid ]]; then kill -- "-$build32_pid" 2>/dev/null || true; fi
  WINEPREFIX=$prefix /usr/lib/wine/wineserver -k 2>/dev/null || true
}
trap cleanup EXIT

stage "install"
t=$SECONDS
scripts/install-deps.sh g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix wine wine64 socat
echo "install: $((SECONDS - t)) s"

stage "cross-build"
# build_windows DIR TOOLCHAIN [TARGET...]: every target when none is named.
build_windows() {
  local dir=$1 toolchain=$2 t=$SECONDS
  shift 2
  cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release -DRDS_WERROR=ON \
    -DCMAKE_TOOLCHAIN_FILE="$repo/cmake/$toolchain" >"$dir/configure.log" 2>&1 ||
    { cat "$dir/configure.log"; return 1; }
  cmake --build "$dir" -j "$jobs" ${1:+--target "$@"} >"$dir/build.log" 2>&1 ||
    { cat "$dir/build.log"; return 1; }
  # Our own sources must build without a warning on Windows as on Linux.
  if grep -n 'warning:' "$dir/build.log" | grep -v '/usr/src/googletest' >&2; then
    echo "warnings in the $dir build" >&2
    return 1
  fi
  echo "$dir: $((SECONDS - t)) s"
}
check_imports() {
  # Statically linked: a program may import from nothing but KERNEL32 and the C runtime, and
  # tamsel, which talks to encoders over TCP and UDP, from Winsock (WS2_32) as well.
  local exe dlls want
  for exe in "$1"/sender/tamsel.exe "$1"/decoder/brovik.exe; do
    if [[ ! -e $exe ]]; then
      skip "imports of ${exe#"$repo"/} (not built: its folder is not in the tree yet)"
      continue
    fi
    want="kernel32.dll msvcrt.dll "
    [[ $exe == */tamsel.exe ]] && want="kernel32.dll msvcrt.dll ws2_32.dll "
    dlls=$(x86_64-w64-mingw32-objdump -p "$exe" | sed -n 's/^\s*DLL Name: //p' | tr '[:upper:]' '[:lower:]' |
      sort | tr '\n' ' ')
    if [[ $dlls == "$want" ]]; then
      pass "imports of ${exe#"$repo"/}: $dlls"
    else
      fail "imports of ${exe#"$repo"/}: $dlls(want $want only)"
    fi
  done
}

mkdir -p "$win64" "$win32"
if build_windows "$win64" toolchain-x86_64-w64-mingw32.cmake; then
  pass "64-bit build"
else
  fail "64-bit build"
  exit 1
fi
# The 32-bit build keeps the cores busy while the checks below mostly wait for Wine, tamsel's
# pauses and the simulator. It builds the two programs and every library, where the
# 32-bit widths of DWORD, time_t and size_t matter; the tests run in the 64-bit build above, and
# compiling them a second time for a build that cannot run them cost four minutes of CI.
# Its own process group, so that an early exit can stop all of it.
export -f build_windows
export repo jobs
# shellcheck disable=SC2016 # $1 is the inner shell's argument
setsid bash -c 'build_windows "$1" toolchain-i686-w64-mingw32.cmake tamsel brovik rds_core \
  rds_capture' _ "$win32" >"$win32/ci.log" 2>&1 &
build32_pid=$!
check_imports "$win64"

stage "unit tests under Wine"
t=$SECONDS
# The prefix is made (headless, COM1 mapped) by the first Wine start, before any test.
"$wine_run" --prefix "$prefix" cmd /c exit 0 || exit 70
echo "Wine prefix ready: $((SECONDS - t)) s"
t=$SECONDS
if ctest --test-dir "$win64" -N | grep -q 'Total Tests: 0'; then
  skip "unit tests under Wine (no test in the Windows build yet)"
elif ctest --test-dir "$win64" --output-on-failure -j "$jobs" --timeout 120; then
  pass "unit tests under Wine"
else
  fail "unit tests under Wine"
fi
echo "unit tests: $((SECONDS - t)) s"

source "$repo/scripts/windows/ci-programs.sh"

stage "32-bit build"
if wait "$build32_pid"; then
  cat "$win32/ci.log"
  pass "32-bit build of the programs and libraries (compile and link only)"
  check_imports "$win32"
else
  cat "$win32/ci.log"
  fail "32-bit build"
fi
build32_pid=

stage "summary"
echo "Windows checks: $((SECONDS - started)) s"
echo "windows: $passed passed, $failed failed, $skipped skipped"
[[ $failed -eq 0 ]]
