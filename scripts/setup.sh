#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs the Debian packages Tikora needs, with apt-get (through sudo when
# not run as root). Safe to run again: packages already present are left as
# they are.
#
#   bash scripts/setup.sh run    what building and running need
#   bash scripts/setup.sh test   that, and the tools of the tests, the fuzzing,
#                                the benchmarks and the package checks (the
#                                default)
set -euo pipefail

# Building and running: compiler and build tools, Qt, Qt's platform plugins,
# the xcb headers (untitled windows on X11), Qt Multimedia, which brings
# the sound back end, and Qt's translation tools (the .qm files are built).
run_packages=(
    cmake g++ make pkg-config
    qt6-base-dev qt6-multimedia-dev libqt6multimedia6 qt6-qpa-plugins libxcb1-dev
    qt6-tools-dev qt6-l10n-tools
)

# Testing: the end-to-end test (Xvfb, a tray host, a window manager, a fake
# clock, X tools, Python), a message bus of the tests' own (the hand-over
# and the desktop notification are tested on a private session bus), fonts
# with Arial's and Times New Roman's widths (the text-fit test measures with
# them, as a desktop has them), a
# colour-scheme tool for the dark screenshots (scripts/screenshots.sh),
# fuzzing (clang with libFuzzer), the benchmarks, and building (from
# debian/) and checking the Debian packages and their desktop files.
test_packages=(
    xvfb xdotool trayer openbox faketime tzdata x11-apps x11-utils python3 libx11-6 dbus-daemon
    fonts-urw-base35 qt6ct
    clang libclang-rt-14-dev
    libbenchmark-dev
    dpkg-dev file desktop-file-utils appstream man-db
    build-essential debhelper lintian
)

set_name="${1:-test}"
case "$set_name" in
run) packages=("${run_packages[@]}") ;;
test) packages=("${run_packages[@]}" "${test_packages[@]}") ;;
*)
    echo "usage: bash scripts/setup.sh [run|test]" >&2
    exit 2
    ;;
esac

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
    echo "setup ($set_name): everything is installed"
    exit 0
fi

as_root=()
if [ "$(id -u)" -ne 0 ]; then
    if ! command -v sudo >/dev/null; then
        echo "setup: installing ${missing[*]} needs root, and sudo is not there;" \
            "run this as root" >&2
        exit 1
    fi
    echo "setup: installing ${missing[*]} through sudo"
    as_root=(sudo)
fi
"${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -qq
"${as_root[@]}" env DEBIAN_FRONTEND=noninteractive \
    apt-get install -y -qq --no-install-recommends "${missing[@]}"
