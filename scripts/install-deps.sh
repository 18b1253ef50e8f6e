#!/usr/bin/env bash
# Installs the Debian packages that building and testing need, when they are missing.
# Usage: scripts/install-deps.sh [--test] [extra-package ...]
#   --test  also what only the tests need: GNU Radio's gr-rds, the independent receiver that
#           checks the simulator's MPX (about 450 MB); man-db, lintian and pkg-config, which
#           check the manual pages, the Debian package and the installed library
set -euo pipefail

# dpkg-dev and file: `make package` reads the programs' library dependencies with them.
packages=(cmake ninja-build g++ make libgtest-dev libgmock-dev libbenchmark-dev nlohmann-json3-dev
  valgrind tzdata libsndfile1-dev dpkg-dev file)
if [ "${1:-}" = "--test" ]; then
  shift
  packages+=(gr-rds gnuradio python3-numpy man-db lintian pkg-config)
fi
packages+=("$@")
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -eq 0 ]; then
  sudo_cmd=()
elif command -v sudo >/dev/null 2>&1; then
  sudo_cmd=(sudo)
else
  echo "install-deps: missing packages: ${missing[*]} (run as root: apt-get install ${missing[*]})" >&2
  exit 1
fi
echo "install-deps: installing ${missing[*]}" >&2
"${sudo_cmd[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
