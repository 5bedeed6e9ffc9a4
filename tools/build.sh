#!/usr/bin/env bash
# Configures and builds into build/ (Release with debug info).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
bash "$root/tools/install-deps.sh"
# Reuse earlier compilations across build folders and checkouts when ccache is installed.
if command -v ccache >/dev/null 2>&1 && [ -z "${CMAKE_CXX_COMPILER_LAUNCHER:-}" ]; then
    export CMAKE_CXX_COMPILER_LAUNCHER=ccache CCACHE_BASEDIR="${CCACHE_BASEDIR:-$(dirname "$root")}"
    export CCACHE_NOHASHDIR="${CCACHE_NOHASHDIR:-1}"
fi
# With Ninja, AUTOMOC reruns only for the headers it has seen: one that arrived since (a
# pull or a rebase) has to wake it, or its signals are never compiled.
if [ -d "$root/build" ]; then
    find "$root/build" -path '*_autogen/timestamp' -print | while read -r stamp; do
        if [ -n "$(find "$root/src" "$root/tests" -name '*.h' -newer "$stamp" -print -quit)" ]; then
            rm -f "$stamp"
        fi
    done
fi
cmake -S "$root" -B "$root/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
cmake --build "$root/build" -j"$(nproc)"
