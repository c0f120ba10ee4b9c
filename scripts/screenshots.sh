#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Takes the pictures of Tikora's windows in docs/screenshots/: the real
# program, on its own virtual screen (Xvfb), with a fixed clock (libfaketime)
# and a demonstration Tikor.dat.
#
#   bash scripts/screenshots.sh [PROGRAM]
#
# PROGRAM is a built tikora; without it, build/tikora is built as
# scripts/run.sh builds it. Three looks are taken:
#   main.png, editor.png, about.png, datepicker.png, timepicker.png
#                                   at scale 1, the desktop's own palette
#   *-2x.png                        on a screen scaled twice (QT_SCALE_FACTOR=2)
#   *-dark.png                      with a dark colour scheme chosen in qt6ct,
#                                   the Qt settings tool a user would use
# Missing tools are installed from the test list of scripts/setup.sh.
set -euo pipefail
cd "$(dirname "$0")/.."
SOURCE=$(pwd)
OUT="$SOURCE/docs/screenshots"

bash scripts/setup.sh test >/dev/null

if [ $# -ge 1 ]; then
    PROGRAM=$(realpath "$1")
else
    cmake --preset plain >/dev/null
    cmake --build --preset plain -j "$(nproc)"
    PROGRAM="$SOURCE/build/tikora"
fi

PYTHON=python3
XHELPER=("$PYTHON" "$SOURCE/tests/e2e/xhelper.py")
FAKETIME_LIB=$(find /usr/lib -maxdepth 3 -path '*/faketime/libfaketime.so.1' -print -quit)
[ -n "$FAKETIME_LIB" ] || {
    echo "screenshots: libfaketime is missing" >&2
    exit 1
}
# The clock in every picture: it stands still, so the pictures come out the
# same each time.
CLOCK="2026-06-15 08:41:27"
DEADLINE=15 # seconds a window may take to appear

ROOT=$(mktemp -d "${TMPDIR:-/tmp}/tikora-shots.XXXXXX")
PIDS=()
stop_all()
{
    local i
    for ((i = ${#PIDS[@]} - 1; i >= 0; i--)); do
        kill -TERM "${PIDS[i]}" 2>/dev/null || true
        wait "${PIDS[i]}" 2>/dev/null || true
    done
    PIDS=()
}
trap 'stop_all; rm -rf "$ROOT"' EXIT
# Nothing here may touch the desktop this script was started from.
unset DISPLAY

# A data file with a few alarms, all after the fixed clock.
demo_file()
{
    local banner1="THIS IS A SELF UPDATING FILE AND WILL CRASH IF TAMPERED WITH."
    local banner2="DELETE FILE COMPLETELY IF PROBLEM ARISES."
    entry() { printf '"%s"\r\n"%s"\r\n"%s"\r\n%s\r\n%s\r\n%s\r\n%s\r\n' "$@"; }
    printf '"%s"\r\n"%s"\r\n%s\r\n' "$banner1" "$banner2" '#FALSE#,#TRUE#,#FALSE#,#FALSE#'
    entry "06/15/26" "Team meeting, room 4" "09:30:00" 0 1 0 0
    entry "06/15/26" "Take the tablets" "12:30:00" 1 0 0 0
    entry "06/16/26" "Call the dentist about Friday" "10:15:00" 0 0 0 0
    entry "07/01/26" "Pay the rent" "08:00:00" 0 0 1 0
    entry "06/21/26" "Mum's birthday: ring her" "07:45:00" 0 0 0 0
    local slot
    for ((slot = 5; slot < 32; slot++)); do entry "" "" "" 0 0 0 1; done
}

now_us() { echo "${EPOCHREALTIME/./}"; }

# The visible top-level windows of the program as "id width height".
windows_of()
{
    local id info
    for id in $(xdotool search --onlyvisible --pid "$1" 2>/dev/null); do
        info=$(xwininfo -children -stats -id "$id" 2>/dev/null) || continue
        grep -q 'Map State: IsViewable' <<<"$info" || continue
        grep -q 'Parent window id: .*(the root window)' <<<"$info" || continue
        echo "$id $(sed -n 's/^ *Width: *//p' <<<"$info") $(sed -n 's/^ *Height: *//p' <<<"$info")"
    done
}

# Waits for a window of the size given (in unscaled pixels; a height of 0
# takes any) and prints its id.
wait_window()
{
    local pid=$1 width=$(($2 * SCALE)) height=$(($3 * SCALE)) what=$4 id
    local end=$(($(now_us) + DEADLINE * 1000000))
    while (($(now_us) < end)); do
        id=$(windows_of "$pid" |
            awk -v w="$width" -v h="$height" '$2 == w && (h == 0 || $3 == h) { print $1; exit }')
        if [ -n "$id" ]; then
            sleep 0.5 # painted
            echo "$id"
            return 0
        fi
        sleep 0.1
    done
    echo "screenshots: no $what window (${width}x$height) appeared; windows:" \
        "$(windows_of "$pid" | tr '\n' ';')" >&2
    return 1
}

capture()
{
    xwd -silent -id "$1" >"$ROOT/window.xwd"
    "${XHELPER[@]}" png "$OUT/$2.png" <"$ROOT/window.xwd"
    echo "  $2.png"
}

keys_to()
{
    local id=$1
    shift
    xdotool windowfocus --sync "$id" >/dev/null 2>&1 || true
    xdotool key --clearmodifiers "$@"
}

click_in()
{
    xdotool mousemove --window "$1" $(($2 * SCALE)) $(($3 * SCALE)) click 1
}

# One look: SUFFIX for the file names, SCALE, then environment settings.
take()
{
    local suffix=$1
    SCALE=$2
    shift 2
    local dir="$ROOT/look$suffix"
    mkdir -p "$dir/data" "$dir/runtime" && chmod 700 "$dir/runtime"
    demo_file >"$dir/data/Tikor.dat"
    Xvfb -displayfd 5 -screen 0 "$((1024 * SCALE))x$((768 * SCALE))x24" -nolisten tcp \
        5>"$dir/display" >"$dir/xvfb.log" 2>&1 &
    PIDS+=($!)
    local end=$(($(now_us) + DEADLINE * 1000000))
    until grep -q '^[0-9][0-9]*$' "$dir/display" 2>/dev/null; do
        (($(now_us) < end)) || {
            echo "screenshots: Xvfb did not start" >&2
            return 1
        }
        sleep 0.1
    done
    DISPLAY=":$(head -n 1 "$dir/display")"
    export DISPLAY
    # The display answers (another server may have raced for the number).
    until xdpyinfo >/dev/null 2>&1; do
        (($(now_us) < end)) || {
            echo "screenshots: display $DISPLAY does not answer" >&2
            return 1
        }
        sleep 0.1
    done
    # No notification area: the program shows its main alert window at once.
    env -u DBUS_SESSION_BUS_ADDRESS -u XDG_DATA_HOME -u QT_QPA_PLATFORMTHEME \
        QT_QPA_PLATFORM=xcb TZ=UTC LC_ALL=C.UTF-8 XDG_RUNTIME_DIR="$dir/runtime" \
        XDG_CONFIG_HOME="$dir/config" ASAN_OPTIONS=detect_leaks=0:verify_asan_link_order=0 \
        LD_PRELOAD="$FAKETIME_LIB" FAKETIME="$CLOCK" FAKETIME_DONT_FAKE_MONOTONIC=1 \
        "$@" "$PROGRAM" --data-dir "$dir/data" >"$dir/tikora.log" 2>&1 &
    local pid=$!
    PIDS+=("$pid")

    local main about editor picker
    # The main alert window: its height depends on the menu bar's font.
    main=$(wait_window "$pid" 232 0 "main alert") || {
        cat "$dir/tikora.log" >&2
        return 1
    }
    sleep 1
    capture "$main" "main$suffix"

    keys_to "$main" ctrl+a
    about=$(wait_window "$pid" 284 190 About)
    capture "$about" "about$suffix"
    keys_to "$about" Return

    keys_to "$main" alt+s
    editor=$(wait_window "$pid" 645 257 editor)
    capture "$editor" "editor$suffix"

    # Row 3's time box, then row 3's date box (the row panel starts 2
    # pixels in; rows are 20 pixels apart).
    click_in "$editor" $((2 + 342 + 30)) $((2 + 14 + 40 + 9))
    picker=$(wait_window "$pid" 167 80 "time picker")
    capture "$picker" "timepicker$suffix"
    keys_to "$picker" Escape
    sleep 0.5
    click_in "$editor" $((2 + 26 + 25)) $((2 + 14 + 40 + 9))
    picker=$(wait_window "$pid" 163 53 "date picker")
    capture "$picker" "datepicker$suffix"

    stop_all
}

mkdir -p "$OUT"
echo "scale 1:"
take "" 1 env
echo "scale 2:"
take "-2x" 2 env QT_SCALE_FACTOR=2
echo "dark colour scheme:"
mkdir -p "$ROOT/look-dark/config/qt6ct"
cat >"$ROOT/look-dark/config/qt6ct/qt6ct.conf" <<'EOF'
[Appearance]
color_scheme_path=/usr/share/qt6ct/colors/darker.conf
custom_palette=true
style=Fusion
EOF
take "-dark" 1 env QT_QPA_PLATFORMTHEME=qt6ct
echo "pictures in $OUT"
