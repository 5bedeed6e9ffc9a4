#!/usr/bin/env bash
# Installs the Debian packages the build needs, when any is missing.
set -euo pipefail
packages=(cmake ninja-build g++ pkg-config qt6-base-dev qt6-serialport-dev qt6-multimedia-dev
          libgl-dev libxkbcommon-dev)
# Text-to-speech with an offline voice; its CMake package needs the QML integration module.
packages+=(qt6-speech-dev qt6-speech-flite-plugin qt6-declarative-dev)
# The Debian package and its checks.
packages+=(dpkg-dev lintian desktop-file-utils appstream)
# Hamlib's rigctld and rigctlcom and socat: the independent peer of the rig tests.
packages+=(libhamlib-utils socat)
# RealtimeKit on a private system bus: real-time keying for a normal user, and its test.
packages+=(rtkit dbus-daemon)
# Dire Wolf: the independent packet engine of the spot tests.
packages+=(direwolf)
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
