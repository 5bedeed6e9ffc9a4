#!/usr/bin/env bash
# Builds and runs every benchmark, printing one table of the figures.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
bash "$root/tools/build.sh"
export QT_QPA_PLATFORM=offscreen
{
    for b in "$root"/build/bench/bench_*; do
        [ -f "$b" ] && [ -x "$b" ] || continue
        "$b" 2>&1 | awk '/^RESULT/ {name=$3} /per iteration|^ +[0-9.,]+ msecs$/ {print name, $1, $2} /^QINFO/ {sub(/^QINFO *: */, ""); print "#", $0}'
    done
    # The window's and the aids' figures again in processor time of the window thread (Linux task
    # clock): on a busy build machine the wall time above also counts other programs.
    for b in bench_window bench_assist; do
        "$root/build/bench/$b" -perf -perfcounter task-clock -minimumvalue 200000000 2>&1 |
            awk '/^RESULT/ {name=$3 "(cpu)"} /per iteration/ {gsub(/,/, "", $1); printf "%s %.3f msecs\n", name, $1 / 1e6}'
    done
} | awk 'BEGIN {printf "%-60s %s\n", "benchmark", "time per run"} /^#/ {print; next} {printf "%-60s %s %s\n", $1, $2, $3}'
