#!/usr/bin/env bash
# Runs the keying benchmark's idle condition as a normal user (nobody), whose keying
# thread the kernel refuses real-time priority, so that the program asks RealtimeKit for
# it as it does on an operator's machine: a private system bus, the real rtkit-daemon on
# it, and a stand-in polkit authority that says yes, as polkit does for a user at the
# machine. Needs root (to start the daemon and switch users) and a built tree
# (bash tools/build.sh). The serial port (/dev/ttyS0, or DITLOG_BENCH_SERIAL) is opened to
# the user for the run and its mode restored afterwards.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$root/build"
device="${DITLOG_BENCH_SERIAL:-/dev/ttyS0}"
[ "$(id -u)" -eq 0 ] || { echo "run as root" >&2; exit 1; }
[ -x /usr/libexec/rtkit-daemon ] || { echo "install rtkit (bash tools/install-deps.sh)" >&2; exit 1; }

dir="$(mktemp -d)"
chmod 755 "$dir"
pids=()
mode="$(stat -c %a "$device")"
cleanup() {
    chmod "$mode" "$device"
    for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
    wait 2>/dev/null || true
    rm -rf "$dir"
}
trap cleanup EXIT

cat > "$dir/bus.conf" <<CONF
<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-BUS Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig><type>system</type><listen>unix:path=$dir/bus</listen><auth>EXTERNAL</auth>
<policy context="default"><allow user="*"/><allow own="*"/><allow send_destination="*"/>
<allow receive_sender="*"/></policy></busconfig>
CONF
dbus-daemon --config-file="$dir/bus.conf" --nofork --nopidfile & pids+=($!)
for _ in $(seq 50); do [ -S "$dir/bus" ] && break; sleep 0.1; done
chmod 666 "$dir/bus"
export DBUS_SYSTEM_BUS_ADDRESS="unix:path=$dir/bus"
"$build/tests/polkit_standin" & pids+=($!)
# The daemon may write no files: its output goes through a pipe.
/usr/libexec/rtkit-daemon --stderr --no-canary 2>&1 | cat >/dev/null & pids+=($!)
sleep 1

chmod o+rw "$device"
setpriv --reuid=nobody --regid=nogroup --clear-groups --inh-caps=-all \
    env HOME="$dir" QT_QPA_PLATFORM=offscreen DITLOG_BENCH_ONLY=idle \
    DITLOG_BENCH_SERIAL="$device" "$build/bench/bench_keying" 2>&1 |
    awk '/^QINFO/ {sub(/^QINFO *: */, ""); print}'
