#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs what is needed, builds Tikora and starts it. It keeps its alarms in
# Tikor.dat in ~/.local/share/tikora, as the installed menu entry does.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTIKORA_TESTS=OFF
cmake --build build -j "$(nproc)"

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "Tikora needs a desktop session to run (no DISPLAY or WAYLAND_DISPLAY is set)." >&2
    exit 1
fi
program="$PWD/build/tikora"
data="${XDG_DATA_HOME:-$HOME/.local/share}/tikora"
mkdir -p "$data"
cd "$data"
exec "$program"
