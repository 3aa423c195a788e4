#!/usr/bin/env bash
# Installs every Debian package that building, testing and running VELA Video needs.
# Safe to run again: apt-get skips what is already installed.
set -euo pipefail

packages=(
  # toolchain
  build-essential cmake pkg-config
  # Qt 6 (Widgets, D-Bus, Test are all in qt6-base)
  qt6-base-dev qt6-base-dev-tools
  # GStreamer 1.22 with the plugin sets the capture graph and the codec catalogue use
  libgstreamer1.0-dev libgstreamer-plugins-base1.0-dev
  gstreamer1.0-plugins-base gstreamer1.0-plugins-good gstreamer1.0-plugins-bad
  gstreamer1.0-libav gstreamer1.0-tools gstreamer1.0-x
  # the preview's colour conversion
  libyuv-dev
  # files and tests
  libpugixml-dev libgtest-dev libgmock-dev libbenchmark-dev
  # power actions are tested against a mock logind on a private bus
  dbus python3-dbusmock
  # ffprobe reads the recordings in tests; Xvfb runs the windows
  ffmpeg xvfb xauth
  # a faked wall clock across daylight-saving changes (tests, bench/night.sh), with the zones
  faketime tzdata
  fonts-dejavu-core
  # the Debian package: cpack's dependency list and stripping, the desktop entry, the
  # software-centre entry and the manual page are checked by their own tools
  dpkg-dev file desktop-file-utils appstream groff-base
)

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ "${#missing[@]}" -eq 0 ]; then
  echo "install-deps: all ${#packages[@]} packages are installed"
  exit 0
fi

echo "install-deps: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -q
$SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
