#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs what building and running need (through sudo when not run as
# root), builds build/tikora and starts it as the user who ran this, keeping
# the alarms in ${XDG_DATA_HOME:-$HOME/.local/share}/tikora, as the
# installed menu entry does. Run through sudo, it installs as root, then
# builds and starts the program as $SUDO_USER, never as root.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh run

if [ "$(id -u)" -eq 0 ] && [ -n "${SUDO_USER:-}" ] && [ "$SUDO_USER" != root ]; then
    # sudo keeps DISPLAY and XAUTHORITY; the user's runtime folder and
    # session bus (where the notification area may live) are found again.
    uid=$(id -u "$SUDO_USER")
    session=()
    if [ -d "/run/user/$uid" ]; then
        session+=(XDG_RUNTIME_DIR="/run/user/$uid")
        [ -S "/run/user/$uid/bus" ] && session+=(DBUS_SESSION_BUS_ADDRESS="unix:path=/run/user/$uid/bus")
    fi
    [ -n "${WAYLAND_DISPLAY:-}" ] && session+=(WAYLAND_DISPLAY="$WAYLAND_DISPLAY")
    exec runuser -u "$SUDO_USER" -- env -u SUDO_USER -u SUDO_UID -u SUDO_GID -u SUDO_COMMAND \
        -u XDG_DATA_HOME "${session[@]}" bash scripts/run.sh
fi

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTIKORA_TESTS=OFF
cmake --build build -j "$(nproc)" --target tikora

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "Tikora needs a desktop session to run (no DISPLAY or WAYLAND_DISPLAY is set)." >&2
    exit 1
fi
data="${XDG_DATA_HOME:-$HOME/.local/share}/tikora"
# The program makes the folder (for you alone) if it is missing.
build/tikora --data-dir "$data" &
program=$!
echo "Tikora is running: look for the clock icon in the notification area;" \
    "your alarms are kept in $data/Tikor.dat."
wait "$program"
