#!/usr/bin/env bash
# Builds Ditlog and starts it in the per-user working folder ~/Ditlog (created when
# missing), where it keeps log.txt and its preference file.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
bash "$root/tools/build.sh"
work="${DITLOG_WORKING_FOLDER:-$HOME/Ditlog}"
mkdir -p "$work"
cd "$work"
exec "$root/build/src/ditlog" "$@"
