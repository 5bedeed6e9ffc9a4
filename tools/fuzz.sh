#!/usr/bin/env bash
# Builds the fuzzers of the untrusted inputs with clang in build-fuzz/ and runs each for the
# given number of seconds (default 60), merging the inputs that reach new code into
# fuzz/corpus/. Usage: tools/fuzz.sh [seconds] [target ...]   (targets: the names of
# fuzz/fuzz_*.cpp; all by default). DITLOG_FUZZ_JOBS=2 runs two targets at a time (one per
# core). Ends with one table row per target (seconds, executions, corpus files, faults) for
# docs/fuzzing.md. Exits non-zero when a fuzzer found a fault; the input that caused it is
# left in build-fuzz/faults/.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
seconds="${1:-60}"
shift || true
jobs="${DITLOG_FUZZ_JOBS:-1}"
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
    for entry in "$root"/fuzz/fuzz_*.cpp; do
        name="$(basename "$entry" .cpp)"
        targets+=("${name#fuzz_}")
    done
fi
build="$root/build-fuzz"
# Reuse earlier compilations across checkouts when ccache is installed.
if command -v ccache >/dev/null 2>&1 && [ -z "${CMAKE_CXX_COMPILER_LAUNCHER:-}" ]; then
    export CMAKE_CXX_COMPILER_LAUNCHER=ccache CCACHE_BASEDIR="$(dirname "$root")" CCACHE_NOHASHDIR=1
fi

CC=clang-14 CXX=clang++-14 cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug \
    -DCMAKE_CXX_FLAGS_DEBUG="-g -O1" -DDITLOG_FUZZ=ON -DDITLOG_WERROR=OFF \
    -DDITLOG_BUILD_BENCH=OFF -DDITLOG_BUILD_TESTS=OFF >/dev/null
cmake --build "$build" --target "${targets[@]/#/fuzz_}"

# The shared-file fuzzer writes and syncs files for every input: keep them in memory.
scratch="$(mktemp -d "$( [ -d /dev/shm ] && echo /dev/shm || echo "${TMPDIR:-/tmp}" )/ditlog-fuzz.XXXXXX")"
trap 'rm -rf "$scratch"' EXIT
export ASAN_OPTIONS="detect_leaks=0:abort_on_error=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export QT_LOGGING_RULES="*.debug=false"

# Past this many files a corpus is rebuilt as a smallest set reaching the same code.
limit="${DITLOG_FUZZ_CORPUS_LIMIT:-300}"

# Keeps the named inputs (seed_*, fault_*) and replaces the fuzzer's own, named by their
# SHA-1, with a smallest set that together with the named ones reaches the same code.
minimize() {
    local corpus="$root/fuzz/corpus/$1" named="$build/named/$1"
    local fuzzer_named=(-regex '.*/[0-9a-f]{40}')
    rm -rf "$named"
    mkdir -p "$named"
    find "$corpus" -regextype posix-extended -type f ! "${fuzzer_named[@]}" -exec cp {} "$named" \;
    TMPDIR="$scratch" "$build/fuzz/fuzz_$1" -merge=1 -max_len=4096 "$named" "$corpus" \
        2>"$build/$1.minimize.log"
    find "$corpus" -regextype posix-extended -type f "${fuzzer_named[@]}" -delete
    find "$named" -regextype posix-extended -type f "${fuzzer_named[@]}" -exec cp {} "$corpus" \;
}

# One target: the run, the merge into the committed corpus, its table row.
run_target() {
    local target="$1"
    local corpus="$root/fuzz/corpus/$target" found="$build/found/$target"
    local fuzzer="$build/fuzz/fuzz_$target" status=0
    mkdir -p "$corpus" "$found"
    rm -f "$build/faults/$target-"*
    echo "== $target: ${seconds} s"
    # New inputs go to the first folder; the committed corpus only seeds the run.
    if ! TMPDIR="$scratch" "$fuzzer" -max_total_time="$seconds" -max_len=4096 -timeout=10 \
            -print_final_stats=1 -artifact_prefix="$build/faults/$target-" \
            "$found" "$corpus" 2>"$build/$target.log"; then
        status=1
        tail -n 60 "$build/$target.log"
    fi
    # Keep only the inputs that add coverage to the committed corpus.
    TMPDIR="$scratch" "$fuzzer" -merge=1 -max_len=4096 "$corpus" "$found" \
        2>"$build/$target.merge.log" || true
    if [ "$(find "$corpus" -type f | wc -l)" -gt "$limit" ]; then
        minimize "$target"
    fi
    local runs faults files
    runs="$(sed -n 's/^stat::number_of_executed_units:[[:space:]]*//p' "$build/$target.log" | tail -n 1)"
    faults="$(find "$build/faults" -name "$target-*" -type f | wc -l)"
    files="$(find "$corpus" -type f | wc -l)"
    echo "| $target | $seconds | ${runs:-?} | $files | $faults |" >"$build/rows/$target"
    echo "   $target: ${runs:-?} runs, corpus $files files, $faults faults"
    return $status
}

mkdir -p "$build/faults" "$build/rows"
rm -f "$build/rows/"*
failed=()
running=0
declare -A pids=()
for target in "${targets[@]}"; do
    if [ "$running" -ge "$jobs" ]; then
        wait -n || true
        running=$((running - 1))
    fi
    run_target "$target" &
    pids[$target]=$!
    running=$((running + 1))
done
for target in "${targets[@]}"; do
    if ! wait "${pids[$target]}"; then
        failed+=("$target")
    fi
done

echo
echo "| Target | Seconds | Executions | Corpus files | Faults |"
echo "|---|---|---|---|---|"
for target in "${targets[@]}"; do
    cat "$build/rows/$target" 2>/dev/null || echo "| $target | $seconds | ? | ? | ? |"
done

if [ ${#failed[@]} -gt 0 ]; then
    echo "Faults found by: ${failed[*]} (inputs in $build/faults/)" >&2
    exit 1
fi
