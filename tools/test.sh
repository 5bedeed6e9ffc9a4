#!/usr/bin/env bash
# Builds Ditlog with its tests and runs them all.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
bash "$root/tools/build.sh"
ctest --test-dir "$root/build" --output-on-failure -j2
