#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds the Debian packages from the source package (debian/) with
# dpkg-buildpackage, twice, from copies of this tree in two temporary
# folders, and checks them: both builds give the same bytes, lintian finds
# no error and no warning, and the packages of the first build, installed
# with dpkg, hold the right files and dependencies (tikora without Qt
# Multimedia, tikora-sound with the sound plugin), the hardened program, the
# desktop entries, the metainfo and the manual page, and the installed
# program answers --version and --help. The CPack route is checked as the
# README gives it, with the package preset, in the first build's copy. The tests are not run inside the package builds
# (scripts/test.sh runs them). Everything is written in the temporary folder,
# and the packages are purged again afterwards unless tikora was installed
# before. Needs root or sudo (dpkg -i) and the test set-up
# (scripts/setup.sh test).
set -euo pipefail
cd "$(dirname "$0")/.."

as_root=()
[ "$(id -u)" -eq 0 ] || as_root=(sudo)

version=$(dpkg-parsechangelog -l debian/changelog -S Version)
arch=$(dpkg-architecture -q DEB_HOST_ARCH)
work=$(mktemp -d "${TMPDIR:-/tmp}/tikora-package.XXXXXX")
remove() { :; }
trap 'remove; rm -rf "$work"' EXIT

# The files of this tree that git knows (a new file counts once it is not
# ignored), or all but the build folders outside git, copied to FOLDER with
# the time of the copy as their modification time, as a fresh clone has.
copy_tree()
{
    mkdir -p "$1"
    if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
        git ls-files -z --cached --others --exclude-standard |
            while IFS= read -r -d '' file; do [ -e "$file" ] && printf '%s\0' "$file"; done |
            tar --null --files-from=- -cf - | tar -xmf - -C "$1"
    else
        tar --exclude='./build*' --exclude='./obj-*' -cf - . | tar -xmf - -C "$1"
    fi
}

# dpkg-buildpackage in a copy of the tree at FOLDER/tikora-<version>, with
# more arguments; the packages land in FOLDER.
build()
{
    local folder=$1
    shift
    copy_tree "$folder/tikora-$version"
    if ! (cd "$folder/tikora-$version" &&
        DEB_BUILD_OPTIONS="nocheck parallel=$(nproc)" dpkg-buildpackage -us -uc "$@") \
        >"$folder/build.log" 2>&1; then
        tail -n 40 "$folder/build.log" >&2
        echo "package: dpkg-buildpackage $* failed in $folder (log above)" >&2
        exit 1
    fi
}

# The first build also makes the source package, for lintian; the second,
# in a folder of another name and depth, only the binary packages.
first=$work/one
second=$work/second/build
build "$first"
echo "package: built $(cd "$first" && ls ./*.deb ./*.dsc | tr '\n' ' ')"
build "$second" -b

# Whether the output of COMMAND, read whole, has a line matching PATTERN, or
# (lacks) has none; both are false when COMMAND fails.
has() { local pattern=$1 output; shift; output=$("$@") && grep -q -- "$pattern" <<<"$output"; }
lacks() { local pattern=$1 output; shift; output=$("$@") && ! grep -q -- "$pattern" <<<"$output"; }

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

# Reproducible: the same packages, byte for byte.
debs=$(cd "$first" && ls ./*.deb)
check "both builds make the same packages" [ "$debs" = "$(cd "$second" && ls ./*.deb)" ]
for deb in $debs; do
    check "${deb#./} is the same in both builds" cmp -s "$first/$deb" "$second/$deb"
done

# lintian on the source package and every binary package.
lintian_log=$work/lintian.log
lintian_ok() { lintian --fail-on error,warning --display-info "$first/tikora_${version}_$arch.changes" >"$lintian_log" 2>&1; }
check "lintian finds no error and no warning" lintian_ok
sed 's/^/    lintian: /' "$lintian_log"

tikora_deb=$first/tikora_${version}_$arch.deb
sound_deb=$first/tikora-sound_${version}_$arch.deb
depends=$(dpkg-deb --field "$tikora_deb" Depends)
for dependency in qt6-qpa-plugins libqt6widgets6 libc6; do
    check "tikora depends on $dependency" grep -q "\\b$dependency\\b" <<<"$depends"
done
for dependency in libqt6multimedia6 gstreamer1.0-plugins-good; do
    check "tikora does not depend on $dependency" eval '! grep -q "\\b$dependency\\b" <<<"$depends"'
done
check "tikora recommends tikora-sound" \
    grep -qx "tikora-sound" < <(dpkg-deb --field "$tikora_deb" Recommends)
depends=$(dpkg-deb --field "$sound_deb" Depends)
check "tikora-sound depends on tikora $version" grep -q "\\btikora (= $version)" <<<"$depends"
check "tikora-sound depends on libqt6multimedia6" grep -q "\\blibqt6multimedia6\\b" <<<"$depends"
check "tikora-sound does not depend on gstreamer1.0-plugins-good" \
    eval '! grep -q gstreamer1.0-plugins-good <<<"$depends"'
check "the autostart entry is a conffile" \
    grep -qx /etc/xdg/autostart/org.example.Tikora.desktop < <(dpkg-deb --info "$tikora_deb" conffiles)

installed_before=no
dpkg-query -W -f='${Status}' tikora 2>/dev/null | grep -q "install ok installed" && installed_before=yes
remove() { [ "$installed_before" = yes ] || "${as_root[@]}" dpkg --purge tikora-sound tikora >/dev/null; }

# tikora alone, without its sound: the program starts.
"${as_root[@]}" dpkg --purge tikora-sound >/dev/null 2>&1 || true
"${as_root[@]}" dpkg -i "$tikora_deb" >/dev/null
home=$work/home
mkdir -p "$home"
run_installed() { (cd "$home" && env -u DISPLAY -u WAYLAND_DISPLAY /usr/bin/tikora "$@"); }
check "tikora installed alone: /usr/bin/tikora --version prints $version" \
    [ "$(run_installed --version)" = "Tikora $version" ]

"${as_root[@]}" dpkg -i "$sound_deb" >/dev/null
listed=$(dpkg -L tikora)
for path in /usr/bin/tikora \
    /usr/share/applications/org.example.Tikora.desktop \
    /etc/xdg/autostart/org.example.Tikora.desktop \
    /usr/share/icons/hicolor/{16x16,22x22,24x24,32x32,48x48,64x64,128x128,256x256}/apps/org.example.Tikora.png \
    /usr/share/icons/hicolor/scalable/apps/org.example.Tikora.svg \
    /usr/share/metainfo/org.example.Tikora.metainfo.xml \
    /usr/share/man/man1/tikora.1.gz \
    /usr/share/doc/tikora/copyright \
    /usr/share/doc/tikora/changelog.gz \
    /usr/share/tikora/help/index.html \
    /usr/share/tikora/translations/tikora_de.qm; do
    check "tikora: $path listed and installed" eval 'grep -qx "$path" <<<"$listed" && [ -s "$path" ]'
done
check "tikora: no sound plugin, no sounds" eval '! grep -q "tikora-sound\|/sounds" <<<"$listed"'
listed=$(dpkg -L tikora-sound)
for path in /usr/lib/"$(dpkg-architecture -q DEB_HOST_MULTIARCH)"/tikora/tikora-sound.so \
    /usr/share/tikora/sounds/{checkmsgs,Alert,Keytry,Keyhaw}.wav \
    /usr/share/doc/tikora-sound/copyright; do
    check "tikora-sound: $path listed and installed" eval 'grep -qx "$path" <<<"$listed" && [ -s "$path" ]'
done
plugin=$(grep -x '/usr/lib/.*/tikora/tikora-sound.so' <<<"$listed" || true)

check "the program starts without Qt Multimedia (not in its NEEDED)" \
    lacks libQt6Multimedia readelf --dynamic /usr/bin/tikora
# Debian's hardening: read-only relocations bound at start, a position-
# independent program, the stack protector and the checked string functions.
for binary in /usr/bin/tikora "$plugin"; do
    check "$binary: read-only relocations" has GNU_RELRO readelf --program-headers "$binary"
    check "$binary: bound at start" has "FLAGS_1.* NOW" readelf --dynamic "$binary"
    check "$binary: stack protector" has __stack_chk_fail readelf -W --dyn-syms "$binary"
done
check "/usr/bin/tikora: position independent" has "Type: *DYN" readelf --file-header /usr/bin/tikora
check "/usr/bin/tikora: checked string functions" has "__[a-z]*_chk@" readelf -W --dyn-syms /usr/bin/tikora

check "desktop-file-validate passes" desktop-file-validate \
    /usr/share/applications/org.example.Tikora.desktop /etc/xdg/autostart/org.example.Tikora.desktop
check "the desktop entry names the window class (StartupWMClass)" \
    grep -qx 'StartupWMClass=Tikora' /usr/share/applications/org.example.Tikora.desktop
check "appstreamcli validate passes" appstreamcli validate --no-net --no-color \
    /usr/share/metainfo/org.example.Tikora.metainfo.xml
man_warnings() { man --warnings -l /usr/share/man/man1/tikora.1.gz 2>&1 >/dev/null; }
check "man --warnings finds nothing" eval '[ -z "$(man_warnings)" ]'

# The installed program, from an empty folder and with no display.
check "/usr/bin/tikora --version prints $version" [ "$(run_installed --version)" = "Tikora $version" ]
check "/usr/bin/tikora --help ends with 0" eval 'run_installed --help >/dev/null'
check "nothing written where it ran" [ -z "$(ls -A "$home")" ]

# The CPack route, as the README gives it: the package preset's tree
# (configured for /usr), built and packed, in the first build's copy: one
# package with the program and its sound.
cpack_ok()
{
    (cd "$first/tikora-$version" && cmake --preset package && cmake --build --preset package \
        -j "$(nproc)" && cd build-package && cpack -G DEB) >"$work/cpack.log" 2>&1
}
check "cpack packages the package preset's tree, configured for /usr" cpack_ok
cpack_deb=$(ls "$first/tikora-$version"/build-package/tikora_*.deb 2>/dev/null || true)
check "cpack: the package holds the program" has "/usr/bin/tikora$" dpkg-deb --contents "$cpack_deb"
check "cpack: the package holds the sound plugin" \
    has "/tikora/tikora-sound.so$" dpkg-deb --contents "$cpack_deb"
check "cpack: no gstreamer1.0-plugins-good in Depends" \
    lacks gstreamer dpkg-deb --field "$cpack_deb" Depends

if [ "$failures" -ne 0 ]; then
    echo "package: $failures failed" >&2
    exit 1
fi
echo "package: all passed"
