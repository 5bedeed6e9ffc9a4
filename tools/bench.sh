#!/usr/bin/env bash
# Builds and runs every benchmark, printing one table of the figures.
# "tools/bench.sh soak [seconds] [folder] [idle]" runs the soak run alone instead: the real
# program through a 20-minute sprint (figures as "name value" lines; the run's files kept in
# folder; "idle": the calling loop alone, the baseline of the keying figures).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
bash "$root/tools/build.sh"
if [ "${1:-}" = soak ]; then
    shift
    exec "$root/build/bench/bench_soak" "${1:-1200}" "${2:-}" "${3:-}"
fi
export QT_QPA_PLATFORM=offscreen
{
    for b in "$root"/build/bench/bench_*; do
        [ -f "$b" ] && [ -x "$b" ] || continue
        [ "$(basename "$b")" = bench_soak ] && continue # 20 minutes: "tools/bench.sh soak"
        "$b" 2>&1 | awk '/^RESULT/ {name=$3} /per iteration|^ +[0-9.,]+ msecs$/ {print name, $1, $2} /^QINFO/ {sub(/^QINFO *: */, ""); print "#", $0}'
    done
    # The window's and the aids' figures again in processor time of the window thread (Linux task
    # clock): on a busy build machine the wall time above also counts other programs.
    for b in bench_window bench_assist; do
        "$root/build/bench/$b" -perf -perfcounter task-clock -minimumvalue 200000000 2>&1 |
            awk '/^RESULT/ {name=$3 "(cpu)"} /per iteration/ {gsub(/,/, "", $1); printf "%s %.3f msecs\n", name, $1 / 1e6}'
    done
} | awk 'BEGIN {printf "%-60s %s\n", "benchmark", "time per run"} /^#/ {print; next} {printf "%-60s %s %s\n", $1, $2, $3}'
