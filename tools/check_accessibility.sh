#!/usr/bin/env bash
# Starts Ditlog under Xvfb on a private session bus with the AT-SPI accessibility bus and
# lists the controls of the main window and the station window as a screen reader sees
# them (tools/atspi_controls.py); fails when one has no name.
#   bash tools/check_accessibility.sh            # uses build/src/ditlog
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
program="${DITLOG_PROGRAM:-$root/build/src/ditlog}"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
export HOME="$work" XDG_RUNTIME_DIR="$work/run"
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
exec dbus-run-session -- bash -c '
    /usr/libexec/at-spi-bus-launcher --launch-immediately &
    launcher=$!
    sleep 1
    export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_ACCESSIBILITY=1
    xvfb-run -a -s "-screen 0 1280x960x24" bash -c "
        cd \"$1\" && \"$2\" & app=\$!
        /usr/bin/python3 \"$3\"; status=\$?
        kill \$app 2>/dev/null; exit \$status"
    status=$?
    kill $launcher 2>/dev/null
    exit $status
' check "$work" "$program" "$root/tools/atspi_controls.py"
