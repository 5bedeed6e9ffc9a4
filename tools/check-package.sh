#!/usr/bin/env bash
# Checks the Debian package built by tools/package.sh: lintian reports no errors, the
# desktop entry and the AppStream metadata validate, and the installed program starts
# offscreen with a fresh home folder, reaches its main window and finds every shipped data
# file where it was installed. As root the package is installed with dpkg and removed
# again; otherwise it is unpacked into a throwaway root.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
deb="$(ls "$root"/build-package/ditlog_*.deb)"
scratch="$(mktemp -d)"
installed=""
cleanup() {
    if [ -n "$installed" ]; then
        dpkg -r ditlog >/dev/null || true
    fi
    rm -rf "$scratch"
}
trap cleanup EXIT

echo "-- lintian"
lintian --fail-on error "$deb"
echo "-- desktop entry and metadata"
desktop-file-validate "$root/packaging/org.ditlog.Ditlog.desktop"
appstreamcli validate --no-net "$root/packaging/org.ditlog.Ditlog.metainfo.xml"

if [ "$(id -u)" -eq 0 ] && ! dpkg-query -W ditlog >/dev/null 2>&1; then
    echo "-- dpkg -i"
    dpkg -i "$deb" >/dev/null
    installed=yes
    prefix=/usr
else
    echo "-- unpacked into $scratch/root"
    dpkg-deb -x "$deb" "$scratch/root"
    prefix="$scratch/root/usr"
fi

echo "-- self-check of the installed program"
mkdir -p "$scratch/home" "$scratch/work"
report="$scratch/self-check.txt"
(cd "$scratch/work" && env -i HOME="$scratch/home" PATH=/usr/bin:/bin XDG_RUNTIME_DIR="$scratch" \
    "$prefix/bin/ditlog" -platform offscreen --self-check >"$report" 2>"$scratch/stderr") || {
    cat "$report" "$scratch/stderr" >&2
    exit 1
}
cat "$report"
# Every data file must come from the installed data folder, not from a source tree.
if grep '^found ' "$report" | grep -v " in $prefix/share/ditlog/"; then
    echo "The installed program found data outside $prefix/share/ditlog." >&2
    exit 1
fi
grep -q '^main window "Ditlog ' "$report"
echo "Package checked."
