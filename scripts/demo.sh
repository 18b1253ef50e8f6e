#!/usr/bin/env bash
# The main job. Filled in as the programs land.
set -euo pipefail
echo "demo: nothing to show yet" >&2
