#!/usr/bin/env bash
# The main job: decode the shipped sample capture with brovik in a scratch directory and show the
# first lines of its report. Usage: scripts/demo.sh [BUILD_DIR] (make demo builds first).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$(cd "${1:-$root/build}" && pwd)"
brovik="$build/decoder/brovik"
[ -x "$brovik" ] || { echo "demo: $brovik not built (run: make demo)" >&2; exit 1; }

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
cp "$root/samples/rds-in.txt" "$work/rds-in.txt"
status=0
(cd "$work" && "$brovik") || status=$?
echo "brovik exit code $status; report $(wc -l <"$work/rds-out.txt") lines; first lines:"
head -n 24 "$work/rds-out.txt"
echo "..."
grep -m 1 'CT=' "$work/rds-out.txt" || true
exit "$status"
