#!/usr/bin/env bash
# Installs what a fresh Debian 12 machine lacks to build, test and run Quillmast,
# or, given package names, those that are missing of them.
set -euo pipefail
# dpkg-dev and file: what CPack needs to find the package's library dependencies;
# lintian and man-db: checking the package and reading its manual pages.
pkgs=(cmake g++ make pkg-config clang libclang-rt-14-dev dpkg-dev file lintian man-db
      qt6-base-dev qt6-serialport-dev libcrypto++-dev libgtest-dev libgmock-dev
      xvfb xauth x11-apps x11-utils xdotool openbox trayer faketime imagemagick fonts-dejavu-core fonts-dejavu-extra fonts-liberation time python3)
[ $# -gt 0 ] && pkgs=("$@")
missing=()
for p in "${pkgs[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    SUDO=""; [ "$(id -u)" -ne 0 ] && SUDO="sudo"
    # Another apt or dpkg may hold the lock for a while: wait for it.
    for try in $(seq 1 30); do
        if $SUDO apt-get update && DEBIAN_FRONTEND=noninteractive \
            $SUDO apt-get install -y --no-install-recommends "${missing[@]}"; then
            break
        fi
        [ "$try" -eq 30 ] && { echo "could not install: ${missing[*]}" >&2; exit 1; }
        echo "apt-get failed (try $try), retrying in 10 s" >&2
        sleep 10
    done
fi
