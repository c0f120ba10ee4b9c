#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds the Debian package (the "package" preset: an optimised build under
# /usr, in build-package/), installs it with dpkg and checks it: the listed
# files, the dependencies, the desktop entries, the metainfo and the manual
# page as installed, and the installed program's --version and --help. The
# package is purged again afterwards unless tikora was installed before.
# Needs root or sudo (dpkg -i) and the test set-up (scripts/setup.sh test).
set -euo pipefail
cd "$(dirname "$0")/.."

as_root=()
[ "$(id -u)" -eq 0 ] || as_root=(sudo)

cmake --preset package >/dev/null
cmake --build build-package -j "$(nproc)"
rm -f build-package/tikora_*.deb
(cd build-package && cpack -G DEB >/dev/null)
deb=$(ls build-package/tikora_*.deb)
echo "package: built $deb"

failures=0
check()
{
    local what=$1
    shift
    if "$@"; then
        echo "package: ok   $what"
    else
        echo "package: FAIL $what"
        failures=$((failures + 1))
    fi
}

depends=$(dpkg-deb --field "$deb" Depends)
for dependency in gstreamer1.0-plugins-good qt6-qpa-plugins libqt6multimedia6 libqt6widgets6 libc6; do
    check "depends on $dependency" grep -q "\\b$dependency\\b" <<<"$depends"
done
check "the autostart entry is a conffile" \
    grep -qx /etc/xdg/autostart/org.example.Tikora.desktop < <(dpkg-deb --info "$deb" conffiles)

installed_before=no
dpkg-query -W -f='${Status}' tikora 2>/dev/null | grep -q "install ok installed" && installed_before=yes
"${as_root[@]}" dpkg -i "$deb" >/dev/null
remove() { [ "$installed_before" = yes ] || "${as_root[@]}" dpkg --purge tikora >/dev/null; }
trap remove EXIT

listed=$(dpkg -L tikora)
for path in /usr/bin/tikora \
    /usr/share/applications/org.example.Tikora.desktop \
    /etc/xdg/autostart/org.example.Tikora.desktop \
    /usr/share/icons/hicolor/{16x16,22x22,24x24,32x32,48x48,64x64,128x128,256x256}/apps/org.example.Tikora.png \
    /usr/share/icons/hicolor/scalable/apps/org.example.Tikora.svg \
    /usr/share/metainfo/org.example.Tikora.metainfo.xml \
    /usr/share/man/man1/tikora.1.gz \
    /usr/share/doc/tikora/copyright \
    /usr/share/tikora/help/index.html \
    /usr/share/tikora/sounds/{checkmsgs,Alert,Keytry,Keyhaw}.wav; do
    check "$path listed and installed" eval 'grep -qx "$path" <<<"$listed" && [ -s "$path" ]'
done
check "no start script installed" eval '! grep -q "tikora-start" <<<"$listed"'
check "the sound plugin listed and installed" \
    eval 'plugin=$(grep -x "/usr/lib/.*tikora/tikora-sound.so" <<<"$listed") && [ -s "$plugin" ]'
check "the program starts without Qt Multimedia (not in its NEEDED)" \
    eval '! readelf --dynamic /usr/bin/tikora | grep -q libQt6Multimedia'

check "desktop-file-validate passes" desktop-file-validate \
    /usr/share/applications/org.example.Tikora.desktop /etc/xdg/autostart/org.example.Tikora.desktop
check "appstreamcli validate passes" appstreamcli validate --no-net --no-color \
    /usr/share/metainfo/org.example.Tikora.metainfo.xml
man_warnings() { man --warnings -l /usr/share/man/man1/tikora.1.gz 2>&1 >/dev/null; }
check "man --warnings finds nothing" eval '[ -z "$(man_warnings)" ]'

# The installed program, from an empty folder and with no display.
work=$(mktemp -d)
trap 'rm -rf "$work"; remove' EXIT
version=$(cd "$work" && env -u DISPLAY -u WAYLAND_DISPLAY /usr/bin/tikora --version)
check "/usr/bin/tikora --version prints 8.8.0 (got '$version')" [ "$version" = "Tikora 8.8.0" ]
check "/usr/bin/tikora --help ends with 0" \
    eval '(cd "$work" && env -u DISPLAY -u WAYLAND_DISPLAY /usr/bin/tikora --help >/dev/null)'
check "nothing written where it ran" [ -z "$(ls -A "$work")" ]

if [ "$failures" -ne 0 ]; then
    echo "package: $failures failed" >&2
    exit 1
fi
echo "package: all passed"
