#!/usr/bin/env bash
# Wall time from process start to the main window painted, on the offscreen platform,
# averaged over several runs: bench/startup.sh [build-dir] [runs]
set -euo pipefail
bin="$(realpath "${1:-build}/src/ditlog")"
runs="${2:-20}"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
cd "$work"
export QT_QPA_PLATFORM=offscreen HOME="$work"
"$bin" --exit-when-shown >/dev/null 2>&1 # warm the file cache
total=0
for _ in $(seq "$runs"); do
    start=$(date +%s%N)
    "$bin" --exit-when-shown >/dev/null 2>&1
    end=$(date +%s%N)
    total=$((total + (end - start) / 1000))
done
echo "RESULT : startup(): $((total / runs / 1000)) msecs per run (average of $runs)"
