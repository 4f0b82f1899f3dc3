#!/usr/bin/env bash
# Installs what a fresh Debian 12 machine lacks to build, test and run Quillmast.
set -euo pipefail
# dpkg-dev and file: what CPack needs to find the package's library dependencies;
# lintian and man-db: checking the package and reading its manual pages.
pkgs=(cmake g++ make pkg-config clang libclang-rt-14-dev dpkg-dev file lintian man-db
      qt6-base-dev qt6-serialport-dev libcrypto++-dev libgtest-dev libgmock-dev
      xvfb xauth x11-apps xdotool trayer imagemagick fonts-dejavu-core fonts-dejavu-extra fonts-liberation time python3)
missing=()
for p in "${pkgs[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    SUDO=""; [ "$(id -u)" -ne 0 ] && SUDO="sudo"
    $SUDO apt-get update
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y --no-install-recommends "${missing[@]}"
fi
