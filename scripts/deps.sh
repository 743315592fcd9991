#!/usr/bin/env bash
# Installs what the build and the tests need on Debian 12 (run as root).
# Skips apt entirely when everything is already there.
set -euo pipefail
pkgs=(build-essential cmake ninja-build pkg-config qt6-base-dev qt6-svg-dev libgl-dev libgtest-dev libgmock-dev
      googletest fonts-dejavu-core xvfb xauth clang libxcb1-dev xdotool
      at-spi2-core dbus python3-gi gir1.2-atspi-2.0
      dpkg-dev desktop-file-utils systemd)
missing=()
for p in "${pkgs[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  export DEBIAN_FRONTEND=noninteractive
  apt-get update
  apt-get install -y --no-install-recommends "${missing[@]}"
fi
