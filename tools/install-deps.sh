#!/usr/bin/env bash
# Installs the Debian packages the build needs, when any is missing.
set -euo pipefail
packages=(cmake ninja-build g++ pkg-config qt6-base-dev qt6-serialport-dev qt6-multimedia-dev
          libgl-dev libxkbcommon-dev)
# Text-to-speech with an offline voice; its CMake package needs the QML integration module.
packages+=(qt6-speech-dev qt6-speech-flite-plugin qt6-declarative-dev)
# The speech voice, loaded at run time.
packages+=(libflite1)
# The Debian package and its checks.
packages+=(dpkg-dev lintian desktop-file-utils appstream)
# Hamlib's rigctld and rigctlcom and socat: the independent peer of the rig tests.
packages+=(libhamlib-utils socat)
# RealtimeKit on a private system bus: real-time keying for a normal user, and its test.
packages+=(rtkit dbus-daemon)
# Dire Wolf and its gen_packets: the independent packet engine of the spot tests, run in
# a private network namespace (unshare from util-linux, ip from iproute2).
packages+=(direwolf util-linux iproute2)
# The accessibility check (tools/check_accessibility.sh) and the soak run: Xvfb, a session
# bus, the AT-SPI bus and Python's AT-SPI bindings; the soak run types with xdotool.
packages+=(xvfb xauth dbus at-spi2-core python3 python3-pyatspi xdotool)
# The shipped voice prompts are made with espeak-ng (tools/make_prompts.py).
packages+=(espeak-ng)
# The fuzz targets (tools/fuzz.sh) need clang with libFuzzer.
packages+=(clang-14)
# Test data of the contest aids: a master call list and a club roster no one here wrote.
packages+=(tlf)
# A sound server whose null sinks are real audio outputs for the playback tests.
packages+=(pulseaudio pulseaudio-utils)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi
echo "Installing: ${missing[*]}"
sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
    sudo_cmd=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
