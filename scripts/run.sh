#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs what building and running need (through sudo when not run as
# root), builds build/tikora and starts it as the user who ran this, keeping
# the alarms in ${XDG_DATA_HOME:-$HOME/.local/share}/tikora, as the
# installed menu entry does. Run through sudo, it installs as root, then
# builds and starts the program as $SUDO_USER, never as root. It says what
# it does at each step; the build's and the program's own messages go to
# logs in build/ (shown when something fails), and it stays in the terminal
# until the program ends.
set -euo pipefail
cd "$(dirname "$0")/.."

say() { echo "run.sh: $*"; }

# The tail of a log, after a step that failed.
show_log()
{
    echo "--- the end of $1:" >&2
    tail -n 30 "$1" >&2
}

if [ -z "${TIKORA_RUN_AS_USER:-}" ]; then
    say "installing what building and running Tikora need (scripts/setup.sh run)"
    bash scripts/setup.sh run
fi

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
    say "building and starting Tikora as $SUDO_USER, not as root"
    exec runuser -u "$SUDO_USER" -- env -u SUDO_USER -u SUDO_UID -u SUDO_GID -u SUDO_COMMAND \
        -u XDG_DATA_HOME TIKORA_RUN_AS_USER=1 "${session[@]}" bash scripts/run.sh
fi

if [ "$(id -u)" -eq 0 ]; then
    say "warning: you are root, so Tikora runs as root and keeps root's alarms" \
        "(in ${XDG_DATA_HOME:-$HOME/.local/share}/tikora). To run it as yourself, start" \
        "this script as yourself (it uses sudo to install) or through sudo."
fi

mkdir -p build
# The plain preset (CMakePresets.json): build/, optimised, no tests.
# CMake's search for optional parts of Qt ("Could NOT find XKB") and the
# compiler's lines are kept in logs; only a failure shows them.
say "configuring the build in build/ (log: build/configure.log)"
if ! cmake --preset plain >build/configure.log 2>&1; then
    show_log build/configure.log
    exit 1
fi
say "building build/tikora and its sound plugin (log: build/build.log; the first build" \
    "takes a few minutes)"
if ! cmake --build --preset plain -j "$(nproc)" >build/build.log 2>&1; then
    show_log build/build.log
    exit 1
fi

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "Tikora needs a desktop session to run (no DISPLAY or WAYLAND_DISPLAY is set)." >&2
    exit 1
fi
data="${XDG_DATA_HOME:-$HOME/.local/share}/tikora"
log=build/tikora.log
say "starting Tikora: look for the clock icon in the notification area" \
    "(a desktop without one shows Tikora's window instead)."
say "your alarms are kept in $data/Tikor.dat; Tikora's own messages go to $log" \
    "(the sound system's complaints about a missing audio device among them)."
say "this terminal stays with Tikora until it ends: choose Exit in its menu," \
    "or press Ctrl+C here."
# The program makes the data folder (for you alone) if it is missing.
status=0
build/tikora --data-dir "$data" >"$log" 2>&1 || status=$?
if [ "$status" -ne 0 ]; then
    say "Tikora ended with status $status"
    show_log "$log"
    exit "$status"
fi
say "Tikora has ended."
