#!/usr/bin/env bash
# Installs every Debian 12 package that building, running and testing the
# program needs. Safe to run again: only missing packages are installed.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config git clang clang-format libclang-rt-14-dev
  qt6-base-dev qt6-base-dev-tools libgl-dev
  qt6-multimedia-dev gstreamer1.0-plugins-good gstreamer1.0-plugins-base
  qt6-svg-dev qt6-image-formats-plugins
  qt6-tools-dev qt6-tools-dev-tools qt6-l10n-tools
  libespeak-ng-dev espeak-ng-data espeak-ng
  libmp3lame-dev libmp3lame0
  libsonic-dev
  libgumbo-dev libuchardet-dev zlib1g-dev
  libpoppler-qt6-dev
  libbenchmark-dev
  mpg123 ffmpeg lame
  poppler-utils
  lynx pandoc antiword catdoc unrtf html2text
  pulseaudio
  xvfb xauth x11-utils xdg-utils desktop-file-utils openbox strace
  fonts-dejavu-core fonts-wqy-microhei
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'ok installed'; then
    missing+=("$p")
  fi
done

if ((${#missing[@]})); then
  export DEBIAN_FRONTEND=noninteractive
  apt-get update
  apt-get install -y --no-install-recommends "${missing[@]}"
fi
