#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs what Tikora needs to build, run and test (Debian; run as root).
# Safe to run again: packages already present are left as they are.
set -euo pipefail

packages=(
    cmake g++ make pkg-config
    qt6-base-dev qt6-multimedia-dev libqt6multimedia6 gstreamer1.0-plugins-good
    qt6-qpa-plugins
    xvfb xdotool trayer faketime tzdata x11-apps x11-utils python3
    clang libclang-rt-14-dev
    libbenchmark-dev
    python3 libx11-6
)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
    echo "setup: everything is installed"
    exit 0
fi
if [ "$(id -u)" -ne 0 ]; then
    echo "setup: installing ${missing[*]} needs root; run: sudo bash scripts/setup.sh" >&2
    exit 1
fi
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}"
