#!/usr/bin/env bash
# Builds the Debian package of Ditlog in build-package/ and prints its path. The package
# program finds its data only where it is installed (not in this source tree).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
bash "$root/tools/install-deps.sh"
if command -v ccache >/dev/null 2>&1 && [ -z "${CMAKE_CXX_COMPILER_LAUNCHER:-}" ]; then
    export CMAKE_CXX_COMPILER_LAUNCHER=ccache CCACHE_BASEDIR="$(dirname "$root")" CCACHE_NOHASHDIR=1
fi
build="$root/build-package"
# Debian's hardening flags.
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DDITLOG_SOURCE_DATA=OFF \
      -DDITLOG_BUILD_TESTS=OFF -DDITLOG_BUILD_BENCH=OFF \
      -DCMAKE_CXX_FLAGS="-fstack-protector-strong -D_FORTIFY_SOURCE=2" \
      -DCMAKE_EXE_LINKER_FLAGS="-Wl,-z,relro,-z,now" >/dev/null
cmake --build "$build" -j"$(nproc)" --target ditlog ditlog_compressed_docs
rm -f "$build"/*.deb
(cd "$build" && cpack -G DEB >/dev/null)
ls "$build"/*.deb
