#!/usr/bin/env bash
# Builds and runs every benchmark, printing one table of the figures.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
bash "$root/tools/build.sh"
export QT_QPA_PLATFORM=offscreen
{
    for b in "$root"/build/bench/bench_*; do
        [ -x "$b" ] || continue
        "$b" 2>&1 | awk '/^RESULT/ {name=$3} /per iteration/ {print name, $1, $2} /^QINFO/ {sub(/^QINFO *: */, ""); print "#", $0}'
    done
    bash "$root/bench/startup.sh" "$root/build" 20 | awk '{print $3, $4, $5}'
} | awk 'BEGIN {printf "%-60s %s\n", "benchmark", "time per run"} /^#/ {print; next} {printf "%-60s %s %s\n", $1, $2, $3}'
