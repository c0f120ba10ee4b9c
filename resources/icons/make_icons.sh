#!/bin/sh
# SPDX-License-Identifier: MIT
# Renders the installed icon sizes from hicolor/scalable/apps/org.example.Tikora.svg
# into hicolor/<size>x<size>/apps/. Run it after changing the SVG and commit
# the PNG files (needs rsvg-convert: apt-get install librsvg2-bin).
set -eu
cd "$(dirname "$0")/hicolor"
for size in 16 22 24 32 48 64 128 256; do
    mkdir -p "${size}x${size}/apps"
    rsvg-convert --width "$size" --height "$size" scalable/apps/org.example.Tikora.svg \
        --output "${size}x${size}/apps/org.example.Tikora.png"
done
