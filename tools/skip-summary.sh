#!/usr/bin/env bash
# Prints every test function that skipped in the last CTest run of each build folder
# given, with its reason (QtTest's SKIP lines in Testing/Temporary/LastTest.log).
# Usage: tools/skip-summary.sh build [build-asan ...]
set -uo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
total=0
for folder in "$@"; do
    log="$root/$folder/Testing/Temporary/LastTest.log"
    [ -f "$log" ] || continue
    skips="$(awk '
        /^[0-9]+\/[0-9]+ Test: / { test = $3 }
        /^SKIP   : / { sub(/^SKIP   : /, ""); print "  " test ": " $0 }
    ' "$log")"
    if [ -n "$skips" ]; then
        count="$(printf '%s\n' "$skips" | wc -l)"
        total=$((total + count))
        echo "Skipped in $folder ($count):"
        printf '%s\n' "$skips"
    fi
done
if [ "$total" -eq 0 ]; then
    echo "No test skipped."
fi
