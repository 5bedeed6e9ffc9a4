#!/usr/bin/env bash
# Renders the program's icon (data/icons/ditlog.svg) into the PNG sizes that are installed
# beside it. Needs rsvg-convert (Debian package librsvg2-bin); the PNGs are committed.
set -euo pipefail
icons="$(cd "$(dirname "$0")/../data/icons" && pwd)"
for size in 16 32 48 64 128 256; do
    rsvg-convert -w "$size" -h "$size" "$icons/ditlog.svg" -o "$icons/ditlog-$size.png"
done
