#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# End-to-end test of the real program.
#
#   bash tests/e2e/run.sh PROGRAM BUILD_DIR [CASE...]
#
# Starts PROGRAM (the built tikora) in a fresh temporary directory under its
# own Xvfb, with trayer as the notification-area host, libfaketime as the
# clock and, where a case says so, openbox as the window manager, and checks
# from outside only: the bytes of Tikor.dat and the X windows of the
# process. Every wait polls with a generous deadline; nothing
# depends on how fast the program is. BUILD_DIR is installed into a temporary
# prefix by the install case. With no CASE, every case runs. Set
# TIKORA_E2E_KEEP=1 to keep the temporary directory for a look afterwards.
#
# What the windows look like from outside (facts of Qt on X11, not of ours):
# - The icon is a small window of the process docked inside trayer (its
#   parent is neither the root window nor a window manager's frame).
# - A top-level window is a child of the root window, or, under a window
#   manager, one it manages (in _NET_CLIENT_LIST_STACKING). A menu is an
#   override-redirect child of the root window.
# - The main alert window stays hidden unless the user shows it.
# - An alert window opened by an alarm is a visible top-level window of type
#   _NET_WM_WINDOW_TYPE_NORMAL, kept above others (_NET_WM_STATE_ABOVE),
#   232 pixels wide. It is untitled: both its names, WM_NAME and the
#   _NET_WM_NAME window managers prefer, are empty (Qt alone would put the
#   program's name in the second).
# - A message box is a visible top-level window of type
#   _NET_WM_WINDOW_TYPE_DIALOG, kept above others, whose own title (WM_NAME)
#   is "Tikora". The editor is a dialog titled with the maker's web address;
#   a picker is an untitled _NET_WM_WINDOW_TYPE_UTILITY window.
# - The message of an alert window is red text on black in its message
#   strip: a dump of the window (xwd) holds red pixels there for a
#   non-empty message and none for an empty one.

set -uo pipefail

if [ $# -lt 2 ]; then
    echo "usage: $0 PROGRAM BUILD_DIR [CASE...]" >&2
    exit 2
fi
PROGRAM=$(realpath "$1")
BUILD_DIR=$(realpath "$2")
shift 2

HERE=$(cd "$(dirname "$0")" && pwd)
PYTHON=python3
[ -x /usr/bin/python3 ] && PYTHON=/usr/bin/python3
XHELPER=("$PYTHON" "$HERE/xhelper.py")
DEADLINE=10       # seconds any one expected outcome may take
QUIET_PERIOD=3    # seconds during which something must not happen
START_TIME="2009-03-17 09:29:50"
TODAY="03/17/09"
NEXT_WEEK="03/24/09"

BANNER1="THIS IS A SELF UPDATING FILE AND WILL CRASH IF TAMPERED WITH."
BANNER2="DELETE FILE COMPLETELY IF PROBLEM ARISES."
SOUND_MESSAGE='#TRUE#,#FALSE#,#FALSE#,#FALSE#'
SOUND_ALERT1='#FALSE#,#TRUE#,#FALSE#,#FALSE#'

FAKETIME_LIB=$(find /usr/lib -maxdepth 3 -path '*/faketime/libfaketime.so.1' -print -quit 2>/dev/null)

ROOT=$(mktemp -d "${TMPDIR:-/tmp}/tikora-e2e.XXXXXX")
CASE_PID=""
# Nothing here may touch the desktop this script was started from.
unset DISPLAY

# ---------------------------------------------------------------- processes

# Whether a process is still running (a zombie is not).
alive()
{
    local stat
    stat=$(cat "/proc/$1/stat" 2>/dev/null) || return 1
    stat=${stat##*) } # the state follows the command's name in parentheses
    [[ $stat != Z* ]]
}

ended() { ! alive "$1"; }

# Inside a case: the processes it started, stopped in reverse order at its end.
CASE_PIDS=()
started() { CASE_PIDS+=("$1"); }

# Drops a process that has been reaped from that list, so that its id, free
# for reuse, is never signalled again.
forget_pid()
{
    local kept=() pid
    for pid in "${CASE_PIDS[@]}"; do
        [ "$pid" = "$1" ] || kept+=("$pid")
    done
    CASE_PIDS=("${kept[@]}")
}

# Ends one process that this script started, by its id, and reaps it; if it
# has not ended GRACE tenths of a second (default 50) after SIGTERM, SIGKILL.
stop_pid()
{
    local pid=$1 grace=${2:-50} i
    kill -TERM "$pid" 2>/dev/null
    for ((i = 0; i < grace; i++)); do
        alive "$pid" || break
        sleep 0.1
    done
    alive "$pid" && kill -KILL "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
    forget_pid "$pid"
    return 0
}

stop_case_processes()
{
    while [ ${#CASE_PIDS[@]} -gt 0 ]; do
        stop_pid "${CASE_PIDS[-1]}"
    done
}

# The end of a case: after a failure, a picture of its screen is kept in
# its directory; then its processes are stopped.
finish_case()
{
    local status=$?
    if [ "$status" -ne 0 ] && [ -n "${DISPLAY:-}" ] &&
        xwd -root -silent 2>/dev/null | "${XHELPER[@]}" png "$CASE_DIR/screen.png" 2>/dev/null; then
        echo "screen at the failure: $CASE_DIR/screen.png (kept with TIKORA_E2E_KEEP=1)"
    fi
    stop_case_processes
}

cleanup()
{
    # The running case stops its own processes when it ends.
    if [ -n "$CASE_PID" ]; then
        stop_pid "$CASE_PID" 300
    fi
    if [ -n "${TIKORA_E2E_KEEP:-}" ]; then
        echo "kept $ROOT"
    else
        rm -rf "$ROOT"
    fi
}
trap cleanup EXIT
trap 'exit 143' TERM INT HUP

# ---------------------------------------------------------------- checks

# A case fails at its first failed check: the message goes to its log and
# the case's subshell ends (its processes are stopped by its EXIT trap).
fail()
{
    echo "failed: $*" >&2
    exit 1
}

check()
{
    local what=$1
    shift
    "$@" || fail "$what"
}

now_us() { echo "${EPOCHREALTIME/./}"; }

# Polls COMMAND until it succeeds, for at most DEADLINE seconds.
wait_for()
{
    local what=$1
    shift
    local end=$(($(now_us) + DEADLINE * 1000000))
    until "$@"; do
        (($(now_us) < end)) || fail "timed out after ${DEADLINE}s waiting for $what"
        sleep 0.1
    done
}

# Polls COMMAND for QUIET_PERIOD seconds; it must never succeed.
never_during_quiet_period()
{
    local what=$1
    shift
    local end=$(($(now_us) + QUIET_PERIOD * 1000000))
    while (($(now_us) < end)); do
        if "$@"; then
            fail "$what"
        fi
        sleep 0.2
    done
}

# ---------------------------------------------------------------- X server

# A fresh Xvfb on a free display number; DISPLAY is set for the case.
start_display()
{
    local number_file="$CASE_DIR/display"
    rm -f "$number_file"
    Xvfb -displayfd 5 -screen 0 1024x768x24 -nolisten tcp -noreset \
        5>"$number_file" >"$CASE_DIR/xvfb.log" 2>&1 &
    XVFB_PID=$!
    started $!
    wait_for "Xvfb to report its display" grep -q '^[0-9][0-9]*$' "$number_file"
    DISPLAY=":$(head -n 1 "$number_file")"
    export DISPLAY
}

tray_host_up() { "${XHELPER[@]}" tray-owned; }
wm_up() { "${XHELPER[@]}" wm-running; }

# openbox as the window manager, up before the program's first window.
start_window_manager()
{
    # Its defaults, not the settings of whoever runs the test.
    printf '<openbox_config xmlns="http://openbox.org/3.4/rc"/>\n' >"$CASE_DIR/openbox.xml"
    openbox --config-file "$CASE_DIR/openbox.xml" >"$CASE_DIR/openbox.log" 2>&1 &
    started $!
    wait_for "openbox to manage the screen" wm_up
}

# trayer at the bottom edge, up and holding the notification area before the
# program looks for one.
start_tray()
{
    trayer --edge bottom --align right --widthtype pixel --width 120 \
        --heighttype pixel --height 24 >"$CASE_DIR/trayer.log" 2>&1 &
    started $!
    wait_for "trayer to take the notification area" tray_host_up
}

# ---------------------------------------------------------------- program

# Starts a command (the program by default) in DIR, with the fake clock
# starting at START_TIME, and sets PID. Its output goes to NAME.log in the
# case's directory.
start_in()
{
    local dir=$1 name=$2
    shift 2
    [ $# -gt 0 ] || set -- "$PROGRAM"
    mkdir -p "$CASE_DIR/runtime" && chmod 700 "$CASE_DIR/runtime"
    (
        cd "$dir" || exit 1
        # The sanitizer must not insist on coming first: libfaketime is
        # preloaded before it. Monotonic time stays real, or Qt's timers
        # misbehave. No session bus: the icon goes to the X11 tray. A bus
        # address that leads nowhere, not none at all: with none, D-Bus
        # would start a session bus of its own where the machine can
        # (dbus-x11), writing into the runtime folder.
        exec env -u XDG_DATA_HOME \
            DBUS_SESSION_BUS_ADDRESS="unix:path=$CASE_DIR/no-session-bus" \
            QT_QPA_PLATFORM=xcb TZ=UTC LC_ALL=C.UTF-8 \
            XDG_RUNTIME_DIR="$CASE_DIR/runtime" \
            ASAN_OPTIONS=detect_leaks=0:verify_asan_link_order=0 \
            LD_PRELOAD="$FAKETIME_LIB" FAKETIME="@$START_TIME" \
            FAKETIME_DONT_FAKE_MONOTONIC=1 \
            "$@"
    ) >"$CASE_DIR/$name.log" 2>&1 &
    PID=$!
    started "$PID"
}

# The program under test, in the case's work folder.
start_program() { start_in "$CASE_DIR/work" tikora; }

# Starts the program on the case's file (an empty table if the case wrote
# none) and waits for the start-up save: an editor opened before it would be
# accepted and closed by the start-up's own accept.
start_program_settled()
{
    local data="$CASE_DIR/work/Tikor.dat" written
    [ -e "$data" ] || first_start_file >"$data"
    written=$(stat -c %i "$data")
    start_program
    wait_for "the start-up save" file_replaced "$data" "$written"
}

# ---------------------------------------------------------------- windows

# One line per visible window of the process:
#   ID PLACE WIDTH HEIGHT TYPE ABOVE TITLE
# PLACE is "top" (a top-level window), "menu" (an override-redirect child
# of the root window) or "docked"; TYPE is "dialog", "utility", "normal" or
# "other"; ABOVE is "above" or "-"; TITLE is the window's own title
# (WM_NAME), possibly empty, or "(none)" if it has none.
describe_windows()
{
    local pid=$1 id info props place width height type above title managed
    managed=" $("${XHELPER[@]}" managed 2>/dev/null | tr '\n' ' ') "
    for id in $(xdotool search --onlyvisible --pid "$pid" 2>/dev/null); do
        # A window may go away between the search and these queries.
        info=$(xwininfo -children -stats -id "$id" 2>/dev/null) || continue
        props=$(xprop -id "$id" WM_NAME _NET_WM_WINDOW_TYPE _NET_WM_STATE 2>/dev/null) || continue
        grep -q 'Map State: IsViewable' <<<"$info" || continue
        place=docked
        if grep -q 'Parent window id: .*(the root window)' <<<"$info"; then
            place=top
            grep -q 'Override Redirect State: yes' <<<"$info" && place=menu
        elif [[ $managed == *" $id "* ]]; then
            place=top
        fi
        width=$(sed -n 's/^ *Width: *//p' <<<"$info")
        height=$(sed -n 's/^ *Height: *//p' <<<"$info")
        type=other
        if grep -q '_NET_WM_WINDOW_TYPE(ATOM) = .*_NET_WM_WINDOW_TYPE_DIALOG' <<<"$props"; then
            type=dialog
        elif grep -q '_NET_WM_WINDOW_TYPE(ATOM) = .*_NET_WM_WINDOW_TYPE_UTILITY' <<<"$props"; then
            type=utility
        elif grep -q '_NET_WM_WINDOW_TYPE(ATOM) = _NET_WM_WINDOW_TYPE_NORMAL$' <<<"$props"; then
            type=normal
        fi
        above=-
        grep -q '_NET_WM_STATE(ATOM) = .*_NET_WM_STATE_ABOVE' <<<"$props" && above=above
        if grep -q '^WM_NAME(' <<<"$props"; then
            title=$(sed -n 's/^WM_NAME([^)]*) = //p' <<<"$props")
            title=${title#\"}
            title=${title%\"}
        else
            title="(none)"
        fi
        echo "$id $place $width $height $type $above $title"
    done
}

# Window ids of one kind, one per line.
alert_windows() { describe_windows "$1" | awk '$2 == "top" && $5 == "normal" && $6 == "above" { print $1 }'; }
message_boxes() { describe_windows "$1" | awk '$2 == "top" && $5 == "dialog" && $7 == "Tikora" { print $1 }'; }
editors() { describe_windows "$1" | awk '$2 == "top" && $5 == "dialog" && $7 == "tikora.example.org" { print $1 }'; }
pickers() { describe_windows "$1" | awk '$2 == "top" && $5 == "utility" { print $1 }'; }
untitled_dialogs() { describe_windows "$1" | awk '$2 == "top" && $5 == "dialog" && NF == 6 { print $1 }'; }
menus() { describe_windows "$1" | awk '$2 == "menu" { print $1 }'; }
toplevel_windows() { describe_windows "$1" | awk '$2 == "top" { print $1 }'; }
docked_icons() { describe_windows "$1" | awk '$2 == "docked" { print $1 }'; }

count_lines() { grep -c . || true; }
has_alert_window() { [ "$(alert_windows "$1" | count_lines)" -ge 1 ]; }
has_message_box() { [ "$(message_boxes "$1" | count_lines)" -ge 1 ]; }
has_docked_icon() { [ "$(docked_icons "$1" | count_lines)" -ge 1 ]; }
has_no_alert_window() { [ "$(alert_windows "$1" | count_lines)" -eq 0 ]; }
has_no_message_box() { [ "$(message_boxes "$1" | count_lines)" -eq 0 ]; }
has_one() { [ "$("$1" "$2" | count_lines)" -eq 1 ]; }
has_none() { [ "$("$1" "$2" | count_lines)" -eq 0 ]; }

# The window's own title and its size, as describe_windows reads them.
window_line() { describe_windows "$1" | awk -v id="$2" '$1 == id'; }

# The one alert window of the process (fails unless there is exactly one).
the_alert_window()
{
    local windows
    windows=$(alert_windows "$1")
    [ "$(count_lines <<<"$windows")" -eq 1 ] ||
        fail "expected one alert window, found: $(describe_windows "$1" | tr '\n' ';')"
    echo "$windows"
}

# A window's _NET_WM_NAME, empty if it is empty or missing.
net_wm_name()
{
    xprop -id "$1" -notype _NET_WM_NAME 2>/dev/null | sed -n 's/^_NET_WM_NAME = "\(.*\)"$/\1/p'
}

# A window's WM_CLASS: its instance and class names, quoted.
window_classes() { xprop -id "$1" -notype WM_CLASS 2>/dev/null | sed -n 's/^WM_CLASS = //p'; }

# Checks a window is untitled: both its names are empty.
check_untitled()
{
    local name
    name=$(net_wm_name "$1")
    [ -z "$name" ] || fail "window $1 is named '$name' for the window manager"
}

# Checks the alert window is untitled and as wide as an alert window (its
# height depends on the menu bar's font).
check_alert_look()
{
    local line
    line=$(window_line "$1" "$2")
    # "ID top 232 HEIGHT normal above" and nothing after: an empty title.
    [[ $line =~ ^[0-9]+\ top\ 232\ [0-9]+\ normal\ above\ ?$ ]] ||
        fail "alert window is not a 232-pixel-wide window with an empty title: '$line'"
    check_untitled "$2"
}

# Counts pixels of a colour (red or green) in the alert window's message
# strip or in the whole window; fails if the window cannot be dumped. The client area (232x117) sits at the
# bottom of the window, under the menu bar; the message strip is 6,24
# 222x13 inside it.
pixels()
{
    local id=$1 colour=$2 where=$3 info width height
    info=$(xwininfo -id "$id" 2>/dev/null) || return 1
    width=$(sed -n 's/^ *Width: *//p' <<<"$info")
    height=$(sed -n 's/^ *Height: *//p' <<<"$info")
    local dump="$CASE_DIR/window.xwd"
    xwd -silent -id "$id" >"$dump" 2>/dev/null || return 1
    if [ "$where" = strip ]; then
        "${XHELPER[@]}" pixels "$colour" 6 $((height - 117 + 24)) 222 13 <"$dump"
    else
        "${XHELPER[@]}" pixels "$colour" 0 0 "$width" "$height" <"$dump"
    fi
}

# The window has been painted: its green clock labels are there.
painted() { local n; n=$(pixels "$1" green window) && [ "$n" -ge 20 ]; }
shows_red_message() { local n; n=$(pixels "$1" red strip) && [ "$n" -ge 20 ]; }

# Presses Enter in a window: give it the keyboard focus, then press.
press_enter()
{
    xdotool windowfocus --sync "$1" >/dev/null 2>&1 &&
        xdotool key --clearmodifiers Return >/dev/null 2>&1
}

# ---------------------------------------------------------------- data file

# The lines of a file, CR LF ended, as the program writes them.
header() { printf '"%s"\r\n"%s"\r\n%s\r\n' "$BANNER1" "$BANNER2" "$1"; }
# entry DATE MESSAGE TIME DAILY WEEKLY MONTHLY FIRED
entry() { printf '"%s"\r\n"%s"\r\n"%s"\r\n%s\r\n%s\r\n%s\r\n%s\r\n' "$@"; }
cleared() { entry "" "" "" 0 0 0 1; }
cleared_slots() # FROM TO
{
    local slot
    for ((slot = $1; slot <= $2; slot++)); do cleared; done
}

same_bytes() { cmp -s "$1" "$2"; }
# Whether the data file differs from ORIGINAL, or a bad copy exists.
file_changed() { ! cmp -s "$1" "$2" || [ -e "$3" ]; }
file_equals() { [ -f "$2" ] && cmp -s "$1" "$2"; }

# Line N of a file without its line end.
line_of() { sed -n "${2}p" "$1" | tr -d '\r'; }
# The fired flag of a slot.
fired_flag() { line_of "$1" $((10 + 7 * $2)); }
fired_flag_is() { [ -f "$1" ] && [ "$(fired_flag "$1" "$2")" = "$3" ]; }

first_start_file() { header "$SOUND_MESSAGE" && cleared_slots 0 31; }

show_difference()
{
    diff <(tr -d '\r' <"$1") <(tr -d '\r' <"$2") | head -n 20
}

# ---------------------------------------------------------------- cases

# No data file: the 227-line file of a cleared table with "Message" chosen
# is written, the icon is in the tray, and no window opens.
case_first_start()
{
    start_display
    start_tray
    start_program
    local data="$CASE_DIR/work/Tikor.dat"
    wait_for "the data file" test -f "$data"
    first_start_file >"$CASE_DIR/expected"
    same_bytes "$CASE_DIR/expected" "$data" ||
        fail "first-start file differs: $(show_difference "$CASE_DIR/expected" "$data")"
    wait_for "the icon in the tray" has_docked_icon "$PID"
    local windows
    windows=$(toplevel_windows "$PID")
    [ -z "$windows" ] || fail "a window opened: $(describe_windows "$PID" | tr '\n' ';')"
}

# A weekly entry due five seconds after start: one alert window with the
# message and an empty title, fired flag 1 in the file; Enter in it moves
# the entry on by 7 days, armed again, and the window goes.
case_due_entry()
{
    local data="$CASE_DIR/work/Tikor.dat"
    {
        header "$SOUND_MESSAGE"
        cleared_slots 0 2
        entry "$TODAY" "Wake up: team meeting" "09:29:55" 0 1 0 0
        entry "03/18/09" "Not yet" "07:00:00" 1 0 0 0
        cleared_slots 5 31
    } >"$data"
    {
        header "$SOUND_MESSAGE"
        cleared_slots 0 2
        entry "$NEXT_WEEK" "Wake up: team meeting" "09:29:55" 0 1 0 0
        entry "03/18/09" "Not yet" "07:00:00" 1 0 0 0
        cleared_slots 5 31
    } >"$CASE_DIR/moved"

    start_display
    start_tray
    start_program
    wait_for "slot 3 fired in the file" fired_flag_is "$data" 3 1
    wait_for "an alert window" has_alert_window "$PID"
    local window
    window=$(the_alert_window "$PID") || exit 1
    check_alert_look "$PID" "$window"
    wait_for "the message in red in the alert window" shows_red_message "$window"
    check "slot 4 still armed" fired_flag_is "$data" 4 0

    press_enter "$window" || fail "could not press Enter in window $window"
    wait_for "the entry moved on by 7 days and armed" file_equals "$CASE_DIR/moved" "$data"
    wait_for "the alert window to go" has_no_alert_window "$PID"
}

# An entry with an empty message: its alert window's message strip stays
# black. Enter leaves a non-repeating entry fired.
case_empty_message()
{
    local data="$CASE_DIR/work/Tikor.dat"
    {
        header "$SOUND_MESSAGE"
        entry "$TODAY" "" "09:29:52" 0 0 0 0
        cleared_slots 1 31
    } >"$data"

    start_display
    start_tray
    start_program
    wait_for "slot 0 fired in the file" fired_flag_is "$data" 0 1
    wait_for "an alert window" has_alert_window "$PID"
    local window
    window=$(the_alert_window "$PID") || exit 1
    check_alert_look "$PID" "$window"
    wait_for "the alert window painted" painted "$window"
    local red
    red=$(pixels "$window" red strip) || fail "could not dump the alert window"
    [ "$red" -eq 0 ] || fail "the message strip of an empty message holds $red red pixels"

    local before="$CASE_DIR/before-enter"
    cp "$data" "$before"
    press_enter "$window" || fail "could not press Enter in window $window"
    wait_for "the alert window to go" has_no_alert_window "$PID"
    check "a non-repeating entry stays fired" fired_flag_is "$data" 0 1
    check "the acknowledgement changed nothing else" same_bytes "$before" "$data"
}

# A full file whose slot 2 is given; the broken one is its first 100 lines
# (slots 0 to 12 whole, slot 13 without its fired flag, nothing after).
write_broken_file() # SLOT2_ENTRY_ARGS...
{
    local full="$CASE_DIR/full"
    {
        header "$SOUND_ALERT1"
        entry "03/16/09" "Dentist, bring the card" "08:15:00" 0 0 0 1
        entry "03/20/09" "Call mum" "18:00:00" 0 0 0 0
        entry "$@"
        entry "03/19/09" "Bins out" "20:00:00" 0 1 0 0
        cleared_slots 4 6
        entry "04/01/09" "Quarterly report" "10:30:00" 0 0 1 0
        cleared_slots 8 11
        entry "03/18/09" "Gym" "06:45:00" 1 0 0 0
        entry "03/25/09" "Pay the rent" "09:00:00" 0 0 0 0
        cleared_slots 14 19
        entry "05/05/09" "Lost to the damage" "12:00:00" 0 0 0 0
        cleared_slots 21 31
    } >"$full"
    head -n 100 "$full" >"$CASE_DIR/broken"
    cp "$CASE_DIR/broken" "$CASE_DIR/work/Tikor.dat"
}

# What the program keeps of the broken file: every field it could read, the
# fired flag of slot 13 (a one-off entry) as before any load (1), the rest
# cleared. Slot 2 is given as it should then be.
rewritten_file() # SLOT2_ENTRY_ARGS...
{
    head -n 17 "$CASE_DIR/full"        # header, slots 0 and 1
    entry "$@"                         # slot 2
    sed -n '25,100p' "$CASE_DIR/full"  # slots 3 to 12, slot 13 but its flag
    printf '1\r\n'
    cleared_slots 14 31
}

# Checks there is one message box, titled "Tikora", and dismisses it.
dismiss_failure_box()
{
    local box
    box=$(message_boxes "$PID")
    [ "$(count_lines <<<"$box")" -eq 1 ] || fail "expected one message box, found '$box'"
    local line
    line=$(window_line "$PID" "$box")
    [[ $line == *" dialog above Tikora" ]] || fail "message box is not titled Tikora: '$line'"
    press_enter "$box" || fail "could not press Enter in the message box"
    wait_for "the message box to go" has_no_message_box "$PID"
}

# A broken data file: the failure message once; the file stays as it was
# until it is dismissed, then is rewritten with every entry that could be
# read, and Tikor.dat.bad holds the broken bytes.
case_broken_file()
{
    local data="$CASE_DIR/work/Tikor.dat" bad="$CASE_DIR/work/Tikor.dat.bad"
    write_broken_file "03/20/09" "Team lunch" "12:30:00" 0 1 0 0
    rewritten_file "03/20/09" "Team lunch" "12:30:00" 0 1 0 0 >"$CASE_DIR/expected"

    start_display
    start_tray
    start_program
    wait_for "the failure message" has_message_box "$PID"
    # The clock ticks while the message is shown; nothing is saved yet.
    never_during_quiet_period "the file changed while the message was shown" \
        file_changed "$CASE_DIR/broken" "$data" "$bad"
    dismiss_failure_box
    wait_for "the file rewritten" file_equals "$CASE_DIR/expected" "$data"
    check "Tikor.dat.bad holds the broken file" same_bytes "$CASE_DIR/broken" "$bad"
    never_during_quiet_period "the failure message was shown again" has_message_box "$PID"
    check "no alert window" has_no_alert_window "$PID"
    check "file still as rewritten" same_bytes "$CASE_DIR/expected" "$data"
}

# The same broken file with a weekly entry in slot 2 due at start-up: it
# fires on the rewritten file, which keeps every readable entry, and Enter
# moves it on.
case_broken_file_due()
{
    local data="$CASE_DIR/work/Tikor.dat" bad="$CASE_DIR/work/Tikor.dat.bad"
    write_broken_file "$TODAY" "Stand-up" "09:00:00" 0 1 0 0
    rewritten_file "$TODAY" "Stand-up" "09:00:00" 0 1 0 1 >"$CASE_DIR/fired"
    rewritten_file "$NEXT_WEEK" "Stand-up" "09:00:00" 0 1 0 0 >"$CASE_DIR/moved"

    start_display
    start_tray
    start_program
    wait_for "the failure message" has_message_box "$PID"
    dismiss_failure_box
    wait_for "the due entry fired on the kept entries" file_equals "$CASE_DIR/fired" "$data"
    check "Tikor.dat.bad holds the broken file" same_bytes "$CASE_DIR/broken" "$bad"
    wait_for "an alert window" has_alert_window "$PID"
    local window
    window=$(the_alert_window "$PID") || exit 1
    check_alert_look "$PID" "$window"
    wait_for "the message in red in the alert window" shows_red_message "$window"
    press_enter "$window" || fail "could not press Enter in window $window"
    wait_for "the entry moved on by 7 days and armed" file_equals "$CASE_DIR/moved" "$data"
    wait_for "the alert window to go" has_no_alert_window "$PID"
    never_during_quiet_period "the failure message was shown again" has_message_box "$PID"
    check "Tikor.dat.bad still holds the broken file" same_bytes "$CASE_DIR/broken" "$bad"
}

# Another program rewrites a valid Tikor.dat twenty times, one every 300 ms,
# in place (emptied, then written in two writes) and by deleting it and
# writing it anew: the program never shows the failure message, and it reads
# the last rewrite, whose entry is due, once it is written (its alert window
# opens).
case_rewritten_by_another_program()
{
    local data="$CASE_DIR/work/Tikor.dat"
    {
        header "$SOUND_MESSAGE"
        cleared_slots 0 2
        entry "03/20/09" "Team lunch" "12:30:00" 0 1 0 0
        cleared_slots 4 31
    } >"$CASE_DIR/valid"
    {
        header "$SOUND_MESSAGE"
        cleared_slots 0 2
        entry "$TODAY" "Rewritten" "09:00:00" 0 0 0 0
        cleared_slots 4 31
    } >"$CASE_DIR/due"
    cp "$CASE_DIR/valid" "$data"

    start_display
    start_tray
    start_program
    wait_for "the icon in the tray" has_docked_icon "$PID"
    "$PYTHON" - "$data" "$CASE_DIR/valid" "$CASE_DIR/due" <<'EOF_WRITER' &
import os, sys, time
path = sys.argv[1]
valid, due = (open(name, "rb").read() for name in sys.argv[2:4])
for i in range(20):
    data = due if i == 19 else valid
    if i % 2:
        os.remove(path)
    fd = os.open(path, os.O_WRONLY | os.O_CREAT | os.O_TRUNC, 0o600)
    os.write(fd, data[:len(data) // 2])
    time.sleep(0.002)
    os.write(fd, data[len(data) // 2:])
    os.close(fd)
    time.sleep(0.3)
EOF_WRITER
    local writer=$!
    started "$writer"
    while alive "$writer"; do
        if has_message_box "$PID"; then
            fail "the failure message was shown for a file being written"
        fi
        sleep 0.05
    done
    wait_for "the alert window of the last rewrite" has_alert_window "$PID"
    never_during_quiet_period "the failure message was shown" has_message_box "$PID"
}

# A second copy in the same folder says so in one message box and ends
# without touching the file; the first keeps running.
case_second_copy()
{
    local data="$CASE_DIR/work/Tikor.dat"
    start_display
    start_tray
    start_program
    local first=$PID
    wait_for "the data file" test -f "$data"
    wait_for "the icon in the tray" has_docked_icon "$first"
    local identity
    identity=$(stat -c '%i %s %Y' "$data")
    cp "$data" "$CASE_DIR/before"

    start_in "$CASE_DIR/work" second
    local second=$PID
    wait_for "the second copy's message box" has_message_box "$second"
    local box line
    box=$(message_boxes "$second")
    [ "$(count_lines <<<"$box")" -eq 1 ] || fail "expected one message box, found '$box'"
    line=$(window_line "$second" "$box")
    [[ $line == *" dialog above Tikora" ]] || fail "message box is not titled Tikora: '$line'"
    check "the second copy has no icon" [ -z "$(docked_icons "$second")" ]
    check "no lock file made: the folder itself is locked" [ ! -e "$CASE_DIR/work/Tikor.dat.lock" ]

    press_enter "$box" || fail "could not press Enter in the message box"
    wait_for "the second copy to end" ended "$second"
    local status=0
    wait "$second" || status=$?
    forget_pid "$second"
    check "the second copy ends with status 1 (got $status)" [ "$status" -eq 1 ]
    check "the file untouched" [ "$(stat -c '%i %s %Y' "$data")" = "$identity" ]
    check "the file's bytes untouched" same_bytes "$CASE_DIR/before" "$data"
    check "the first copy still runs" alive "$first"
    check "the first copy's icon still in the tray" has_docked_icon "$first"
    check "the first copy opened no window" [ -z "$(toplevel_windows "$first")" ]
}

# ------------------------------------------------------- what ends the program

# Ends the program of PID the way NAME says, and waits for it to be gone: a
# signal of the session's end, the X server's death, or a kill.
end_program_by()
{
    local how=$1
    case $how in
    TERM | HUP | INT) kill -"$how" "$PID" ;;
    KILL) kill -KILL "$PID" ;;
    xserver) stop_pid "$XVFB_PID" ;;
    esac
    wait_for "the program to end after $how" ended "$PID"
    wait "$PID" 2>/dev/null
    forget_pid "$PID"
    if [ "$how" = xserver ]; then
        stop_case_processes # the tray host went with its display
        start_display
        start_tray
    fi
}

has_alert_windows() { [ "$(alert_windows "$1" | count_lines)" -ge "$2" ]; }
both_fired() { fired_flag_is "$1" 0 1 && fired_flag_is "$1" 1 1; }
# The alerts recorded as open (the record's "slot" lines).
recorded_alerts()
{
    if [ -f "$1" ]; then grep -c '"slot"' "$1"; else echo 0; fi
}
recorded_alerts_are() { [ "$(recorded_alerts "$1")" -eq "$2" ]; }

# A daily and a one-time entry are due; their two alert windows are open
# when the program ends: by SIGTERM, SIGHUP, SIGINT, the X server's death
# and kill -9 in turn. Each time, the next start opens both alerts again,
# once each; Enter in each moves the daily entry on from today and leaves
# the one-time entry fired, and the next start opens nothing.
case_alerts_come_back()
{
    local data="$CASE_DIR/work/Tikor.dat" record="$CASE_DIR/work/Tikor.alerts" how window
    {
        header "$SOUND_MESSAGE"
        entry "$TODAY" "Daily stand-up" "09:29:40" 1 0 0 0
        entry "$TODAY" "Call the bank" "09:29:40" 0 0 0 0
        cleared_slots 2 31
    } >"$data"
    {
        header "$SOUND_MESSAGE"
        entry "03/18/09" "Daily stand-up" "09:29:40" 1 0 0 0
        entry "$TODAY" "Call the bank" "09:29:40" 0 0 0 1
        cleared_slots 2 31
    } >"$CASE_DIR/acknowledged"
    start_display
    start_tray
    start_program
    wait_for "two alert windows" has_alert_windows "$PID" 2
    # Recorded before the fired flags are saved.
    wait_for "both entries fired in the file" both_fired "$data"
    for how in TERM HUP INT xserver KILL; do
        end_program_by "$how"
        check "after $how both entries still fired" fired_flag_is "$data" 0 1
        start_program
        wait_for "two alert windows again after $how" has_alert_windows "$PID" 2
        never_during_quiet_period "a third alert window after $how" has_alert_windows "$PID" 3
        check "after $how still two alerts recorded" recorded_alerts_are "$record" 2
    done
    for window in $(alert_windows "$PID"); do
        press_enter "$window" || fail "could not press Enter in window $window"
    done
    wait_for "the alert windows to go" has_no_alert_window "$PID"
    wait_for "the daily entry moved on, the other fired" file_equals "$CASE_DIR/acknowledged" "$data"
    check "no alert recorded once both are acknowledged" recorded_alerts_are "$record" 0
    stop_pid "$PID"
    start_program
    wait_for "the icon in the tray" has_docked_icon "$PID"
    never_during_quiet_period "an alert window at the start after OK" has_alert_window "$PID"
}

# A second copy (PID) shows one box and no icon; Enter ends it with 1.
second_copy_refused()
{
    local second=$1 what=$2
    wait_for "the second copy's box ($what)" has_message_box "$second"
    check "the second copy has no icon ($what)" [ -z "$(docked_icons "$second")" ]
    press_enter "$(message_boxes "$second")" || fail "could not press Enter in the box ($what)"
    wait_for "the second copy to end ($what)" ended "$second"
    local status=0
    wait "$second" || status=$?
    forget_pid "$second"
    check "the second copy ends with 1 ($what; got $status)" [ "$status" -eq 1 ]
}

# Whatever is done to a lock file, a second copy never runs beside the
# first, and never hangs: the lock file deleted, a named pipe, a folder or
# another user's file in its place. Each second start says "already
# running" in a box and ends with 1, and the file stays as it was.
case_one_copy_whatever_the_lock()
{
    local lock="$CASE_DIR/work/Tikor.dat.lock" data="$CASE_DIR/work/Tikor.dat"
    start_display
    start_tray
    start_program
    local first=$PID
    wait_for "the data file" test -f "$data"
    wait_for "the icon in the tray" has_docked_icon "$first"
    cp "$data" "$CASE_DIR/before"
    local attack
    for attack in deleted fifo folder stranger; do
        rm -rf "$lock"
        case $attack in
        fifo) mkfifo "$lock" ;;
        folder) mkdir "$lock" ;;
        stranger) printf '1\ntikora\nhost\n' >"$lock" && chown 65533:65533 "$lock" ;;
        esac
        start_in "$CASE_DIR/work" "second-$attack"
        second_copy_refused "$PID" "the lock file $attack"
    done
    check "the file's bytes untouched" same_bytes "$CASE_DIR/before" "$data"
    check "the first copy still runs" alive "$first"
}

# Two copies of an unprivileged user in a folder they may not write to, with
# no XDG_RUNTIME_DIR and the runtime folder Qt would fall back on made first
# by another user: the second says "already running" and ends with 1.
case_one_copy_read_only_folder()
{
    local victim=65534 stranger=65533
    local folder="$CASE_DIR/alarms" tmp="$CASE_DIR/tmp"
    chmod 711 "$ROOT" "$CASE_DIR"
    mkdir -p "$folder" "$tmp/runtime-nobody"
    chmod 1777 "$tmp"
    first_start_file >"$folder/Tikor.dat"
    local as_victim=()
    if [ "$(id -u)" -eq 0 ]; then
        chown "$victim:$victim" "$folder" "$folder/Tikor.dat"
        chown "$stranger:$stranger" "$tmp/runtime-nobody"
        as_victim=(setpriv --reuid=$victim --regid=$victim --clear-groups)
    fi
    chmod 555 "$folder"
    start_display
    start_tray
    # No fake clock: its shared memory belongs to root.
    start_in "$folder" first env -u LD_PRELOAD -u XDG_RUNTIME_DIR TMPDIR="$tmp" \
        "${as_victim[@]}" "$PROGRAM"
    local first=$PID
    wait_for "the first copy's icon" has_docked_icon "$first"
    start_in "$folder" second env -u LD_PRELOAD -u XDG_RUNTIME_DIR TMPDIR="$tmp" \
        "${as_victim[@]}" "$PROGRAM"
    second_copy_refused "$PID" "a read-only folder"
    check "the first copy still runs" alive "$first"
    check "nothing made in the other user's runtime folder" [ -z "$(ls -A "$tmp/runtime-nobody")" ]
    chmod 755 "$folder"
}

# A damaged Tikor.dat whose copy Tikor.dat.bad cannot be made: on a full
# disk (a file-size limit smaller than the damaged file, larger than a whole
# one) and in a folder the user may not create files in. The problem box
# shows, a due entry still rings and is acknowledged, and the damaged file
# is byte for byte as it was.
write_damaged_file() # DATE: a one-time entry due in slot 0, slot 20 damaged
{
    header "$SOUND_MESSAGE"
    entry "$1" "Rings from memory" "00:00:01" 0 0 0 0
    cleared_slots 1 19
    printf '"05/05/09"\r\n"Lost if replaced"\r\n"12:00:00"\r\nnot a number\r\n'
    # What follows the damage makes the file larger than a whole one.
    local line
    for ((line = 0; line < 1600; line++)); do
        printf '"%s"\r\n' "entry text kept only in the damaged file, line $line"
    done
}

# Dismisses message boxes as they come (a box opened inside another one is
# answered first) until an alert window is open and no box is; sets BOXES to
# how many different boxes there were.
dismiss_boxes_until_alert()
{
    local pid=$1 end=$(($(now_us) + DEADLINE * 1000000)) box seen=" " calm=0
    # A box may open a moment after the one before it went.
    while ((calm < 15)); do
        if has_alert_window "$pid" && has_no_message_box "$pid"; then
            calm=$((calm + 1))
            sleep 0.1
            continue
        fi
        calm=0
        (($(now_us) < end)) || fail "timed out after ${DEADLINE}s waiting for an alert window"
        for box in $(message_boxes "$pid"); do
            [[ $seen == *" $box "* ]] || seen+="$box "
            press_enter "$box"
            sleep 0.3
        done
        sleep 0.1
    done
    BOXES=$(($(wc -w <<<"$seen")))
}

damaged_file_rings_and_stays()
{
    local data=$1 pid=$2
    # "PROBLEM WITH SAVED FILE.", then once why the start-up save was refused.
    dismiss_boxes_until_alert "$pid"
    check "two boxes: the damage and the refused save (got $BOXES)" [ "$BOXES" -eq 2 ]
    local window
    window=$(the_alert_window "$pid") || exit 1
    press_enter "$window" || fail "could not press Enter in window $window"
    wait_for "the alert window to go" has_no_alert_window "$pid"
    never_during_quiet_period "the damaged file changed" file_changed "$CASE_DIR/damaged" "$data" \
        "$(dirname "$data")/Tikor.dat.bad"
    never_during_quiet_period "another box" has_message_box "$pid"
    check "the damaged file is byte for byte there" same_bytes "$CASE_DIR/damaged" "$data"
}

case_damaged_file_full_disk()
{
    local data="$CASE_DIR/work/Tikor.dat"
    write_damaged_file "$TODAY" >"$data"
    cp "$data" "$CASE_DIR/damaged"
    start_display
    start_tray
    # 64 KiB: a whole file fits, the damaged one (about 100 KiB) does not.
    start_in "$CASE_DIR/work" tikora bash -c 'ulimit -f 64 && exec "$0"' "$PROGRAM"
    damaged_file_rings_and_stays "$data" "$PID"
}

case_damaged_file_read_only_folder()
{
    local victim=65534 folder="$CASE_DIR/alarms"
    chmod 711 "$ROOT" "$CASE_DIR"
    mkdir -p "$folder"
    # No fake clock for another user: an entry dated today, due at once.
    write_damaged_file "$(date +%m/%d/%y)" >"$folder/Tikor.dat"
    cp "$folder/Tikor.dat" "$CASE_DIR/damaged"
    local as_victim=()
    if [ "$(id -u)" -eq 0 ]; then
        chown "$victim:$victim" "$folder" "$folder/Tikor.dat"
        as_victim=(setpriv --reuid=$victim --regid=$victim --clear-groups)
    fi
    chmod 555 "$folder"
    start_display
    start_tray
    start_in "$folder" tikora env -u LD_PRELOAD -u XDG_RUNTIME_DIR "${as_victim[@]}" "$PROGRAM"
    damaged_file_rings_and_stays "$folder/Tikor.dat" "$PID"
    chmod 755 "$folder"
}

# In a shared sticky folder another user has put a link named Tikor.dat to
# the victim's ~/.bashrc. The victim's copy, started there, says why in one
# box and ends without touching the file or making a lock. Run by root, the
# two users are unprivileged ids.
case_planted_link()
{
    local victim=65534 stranger=65533
    local shared="$CASE_DIR/shared" home="$CASE_DIR/home" runtime="$CASE_DIR/victim-runtime"
    chmod 711 "$ROOT" "$CASE_DIR"
    mkdir -p "$shared" "$home" "$runtime"
    chmod 1777 "$shared"
    chmod 700 "$runtime"
    printf 'export PATH\n' >"$home/.bashrc"
    cp "$home/.bashrc" "$CASE_DIR/before"
    local as_victim=() as_stranger=()
    if [ "$(id -u)" -eq 0 ]; then
        chown -R "$victim:$victim" "$home" "$runtime"
        as_victim=(setpriv --reuid=$victim --regid=$victim --clear-groups)
        as_stranger=(setpriv --reuid=$stranger --regid=$stranger --clear-groups)
    fi
    "${as_stranger[@]}" ln -s "$home/.bashrc" "$shared/Tikor.dat" || fail "could not plant the link"
    local identity
    identity=$(stat -c '%i %s %Y' "$home/.bashrc")

    start_display
    start_tray
    # No fake clock: its shared memory belongs to root.
    start_in "$shared" victim env -u LD_PRELOAD HOME="$home" XDG_RUNTIME_DIR="$runtime" \
        "${as_victim[@]}" "$PROGRAM"
    wait_for "the message box" has_message_box "$PID"
    check "no icon in the tray" [ -z "$(docked_icons "$PID")" ]
    dismiss_failure_box
    wait_for "the program to end" ended "$PID"
    local status=0
    wait "$PID" || status=$?
    forget_pid "$PID"
    check "the program ends with status 1 (got $status)" [ "$status" -eq 1 ]
    check ".bashrc untouched" [ "$(stat -c '%i %s %Y' "$home/.bashrc")" = "$identity" ]
    check ".bashrc's bytes untouched" same_bytes "$CASE_DIR/before" "$home/.bashrc"
    check "the link still there" [ -L "$shared/Tikor.dat" ]
    check "nothing written in the shared folder" [ "$(ls -A "$shared")" = "Tikor.dat" ]
    check "nothing written in the runtime folder" [ -z "$(ls -A "$runtime")" ]
}

# Under a file-size limit every write fails: the program does not die of
# it, says so (with no notification area, in a message box), and the file
# stays as it was.
case_file_size_limit()
{
    local data="$CASE_DIR/work/Tikor.dat"
    first_start_file >"$data"
    cp "$data" "$CASE_DIR/before"
    start_display
    # Its output goes through a pipe, read by a cat started before the
    # limit: a message written to a log file under the limit would end it.
    mkfifo "$CASE_DIR/output.fifo"
    start_in "$CASE_DIR/work" tikora bash -c \
        'cat <"$1" & ulimit -f 0 && exec "$0" >"$1" 2>&1' "$PROGRAM" "$CASE_DIR/output.fifo"
    wait_for "the failed save's message box" has_message_box "$PID"
    check "the program still runs" alive "$PID"
    local box line
    box=$(message_boxes "$PID")
    line=$(window_line "$PID" "$box")
    [[ $line == *" dialog above Tikora" ]] || fail "message box is not titled Tikora: '$line'"
    check "the file untouched" same_bytes "$CASE_DIR/before" "$data"
    check "no temporary file left" [ "$(ls -A "$CASE_DIR/work")" = "Tikor.dat" ]
}

# Every X window of the process, shown or not, one id per line.
all_windows() { xdotool search --pid "$1" 2>/dev/null | sort; }

# Rounds of 32 alerts, each acknowledged with Enter: afterwards the process
# has exactly the X windows it had before the first alert. Another writer
# arms all 32 slots again for each round.
case_no_windows_left()
{
    local data="$CASE_DIR/work/Tikor.dat" armed="$CASE_DIR/armed" slot round
    {
        header "$SOUND_MESSAGE"
        for ((slot = 0; slot < 32; slot++)); do
            entry "$TODAY" "Round alert $slot" "00:00:01" 0 0 0 0
        done
    } >"$armed"
    {
        header "$SOUND_MESSAGE"
        cleared_slots 0 31
    } >"$data"

    start_display
    start_tray
    start_program
    wait_for "the tray icon" has_docked_icon "$PID"
    local before
    before=$(all_windows "$PID")
    for round in 1 2 3; do
        cp "$armed" "$CASE_DIR/work/next" && mv "$CASE_DIR/work/next" "$data"
        wait_for "32 alert windows in round $round" alert_windows_are "$PID" 32
        local window
        for window in $(alert_windows "$PID"); do
            press_enter "$window" || fail "could not press Enter in window $window"
        done
        wait_for "every alert window of round $round to go" has_no_alert_window "$PID"
    done
    wait_for "the process's windows as before the first alert" \
        same_windows "$PID" "$before"
}
alert_windows_are() { [ "$(alert_windows "$1" | count_lines)" -eq "$2" ]; }
same_windows() { [ "$(all_windows "$1")" = "$2" ]; }

# The geometry of a window as "X Y WIDTH HEIGHT", X and Y on the screen.
geometry()
{
    local info
    info=$(xwininfo -id "$1" 2>/dev/null) || return 1
    echo "$(sed -n 's/^ *Absolute upper-left X: *//p' <<<"$info")" \
        "$(sed -n 's/^ *Absolute upper-left Y: *//p' <<<"$info")" \
        "$(sed -n 's/^ *Width: *//p' <<<"$info")" "$(sed -n 's/^ *Height: *//p' <<<"$info")"
}

# Whether a window lies wholly on the 1024x768 screen.
on_screen()
{
    local x y w h
    read -r x y w h < <(geometry "$1") || return 1
    [ "$x" -ge 0 ] && [ "$y" -ge 0 ] && [ $((x + w)) -le 1024 ] && [ $((y + h)) -le 768 ]
}

# Clicks a point of a window, given from its top left corner.
click_in() # WINDOW X Y [BUTTON]
{
    local x y w h
    read -r x y w h < <(geometry "$1") || return 1
    xdotool mousemove $((x + $2)) $((y + $3)) click "${4:-1}" >/dev/null 2>&1
}

# Clicks the tray icon with a button (1 left, 3 right).
click_icon()
{
    local icon x y w h
    icon=$(docked_icons "$PID" | head -n 1)
    [ -n "$icon" ] || return 1
    read -r x y w h < <(geometry "$icon") || return 1
    click_in "$icon" $((w / 2)) $((h / 2)) "$1"
}

in_front() { "${XHELPER[@]}" above "$1" "$2"; }

# Checks a window of the process is viewable, kept on top, wholly on the
# screen and in front of another window.
check_in_front() # WHAT WINDOW UNDER
{
    local what=$1 id=$2 under=$3 line
    line=$(window_line "$PID" "$id")
    [ -n "$line" ] || fail "$what is not viewable"
    [[ $line =~ ^[0-9]+\ top\ [0-9]+\ [0-9]+\ [a-z]+\ above ]] ||
        fail "$what is not a top-level window kept on top: '$line'"
    check "$what lies on the screen" on_screen "$id"
    wait_for "$what in front of window $under" in_front "$id" "$under"
}

# A right click on the icon opens the tray menu, whatever window is open.
open_tray_menu()
{
    click_icon 3 || fail "could not click the tray icon"
    wait_for "the tray menu" has_one menus "$PID"
}

# Presses a key in the open tray menu; the menu closes.
press_in_tray_menu()
{
    xdotool key --clearmodifiers "$1" >/dev/null 2>&1 || fail "could not press $1"
    wait_for "the tray menu to close" has_none menus "$PID"
}

file_replaced() { [ "$(stat -c %i "$1" 2>/dev/null)" != "$2" ]; }

# Under a window manager, with the main alert window shown (it is kept on
# top): About (Ctrl+A in it), the editor opened from the tray, a time picker
# over it and an error box over that each open viewable, on the screen and
# in front of the main alert window and of the window they come from. The
# tray menu opens while each is open, and a key typed in it does not reach
# the editor's focused box; "Set Alarm" over About or the picker shows
# nothing a second time.
# Exit from the menu over the error box ends the program, and the file
# holds what it held (the unaccepted bad time is dropped).
case_windows_in_front()
{
    local data="$CASE_DIR/work/Tikor.dat"
    {
        header "$SOUND_MESSAGE"
        entry "03/20/09" "Dentist, bring the card" "08:15:00" 0 0 0 0
        cleared_slots 1 31
    } >"$data"
    cp "$data" "$CASE_DIR/before"
    local written
    written=$(stat -c %i "$data")

    start_display
    # trayer first: openbox adopts its panel when it starts. A panel mapped
    # while openbox is still starting was at times never managed nor shown
    # (about one start in three), and the icon in it never viewable.
    start_tray
    start_window_manager
    start_program
    wait_for "the icon in the tray" has_docked_icon "$PID"
    # Start-up's own accept saves; the editor is opened after it.
    wait_for "the start-up save" file_replaced "$data" "$written"
    check "start-up saved the entries as they were" same_bytes "$CASE_DIR/before" "$data"

    click_icon 1 || fail "could not click the tray icon"
    wait_for "the main alert window" has_alert_window "$PID"
    local main
    main=$(the_alert_window "$PID") || exit 1
    check_alert_look "$PID" "$main"

    xdotool windowfocus --sync "$main" key --clearmodifiers ctrl+a >/dev/null 2>&1 ||
        fail "could not press Ctrl+A in the main alert window"
    wait_for "About" has_one untitled_dialogs "$PID"
    local about
    about=$(untitled_dialogs "$PID")
    check_untitled "$about"
    check_in_front "About" "$about" "$main"
    open_tray_menu
    press_in_tray_menu s
    never_during_quiet_period "the editor opened over About" has_one editors "$PID"
    check "About still open" has_one untitled_dialogs "$PID"
    xdotool windowfocus --sync "$about" key --clearmodifiers Escape >/dev/null 2>&1 ||
        fail "could not press Escape in About"
    wait_for "About to close" has_none untitled_dialogs "$PID"

    open_tray_menu
    press_in_tray_menu s
    wait_for "the editor" has_one editors "$PID"
    local editor
    editor=$(editors "$PID")
    check_in_front "the editor" "$editor" "$main"
    # Keys typed in the menu go to the menu, not to the row's date box that
    # has the focus: Enter then accepts the rows as they were.
    open_tray_menu
    xdotool key --clearmodifiers x >/dev/null 2>&1 || fail "could not type in the menu"
    press_in_tray_menu Escape
    check "the editor still open" has_one editors "$PID"
    xdotool windowfocus --sync "$editor" key --clearmodifiers Return >/dev/null 2>&1 ||
        fail "could not press Enter in the editor"
    wait_for "the editor to accept and close" has_none editors "$PID"
    check "no error box" has_no_message_box "$PID"
    check "the rows accepted as they were" same_bytes "$CASE_DIR/before" "$data"

    open_tray_menu
    press_in_tray_menu s
    wait_for "the editor again" has_one editors "$PID"
    editor=$(editors "$PID")

    # Row 1's time box: 373, 25 inside the editor.
    click_in "$editor" 373 25 || fail "could not click the time box"
    wait_for "the time picker" has_one pickers "$PID"
    local picker
    picker=$(pickers "$PID")
    check_untitled "$picker"
    check_in_front "the time picker" "$picker" "$main"
    check_in_front "the time picker" "$picker" "$editor"
    open_tray_menu
    press_in_tray_menu s
    check "one editor after Set Alarm" has_one editors "$PID"
    check "one picker after Set Alarm" has_one pickers "$PID"
    check_in_front "the time picker after Set Alarm" "$picker" "$editor"
    xdotool windowfocus --sync "$picker" key --clearmodifiers Escape >/dev/null 2>&1 ||
        fail "could not press Escape in the picker"
    wait_for "the picker to close" has_none pickers "$PID"

    # A time that cannot be: OK names it in a box.
    xdotool windowfocus --sync "$editor" key --clearmodifiers ctrl+a type 99:99:99 >/dev/null 2>&1 ||
        fail "could not type in the editor"
    xdotool key --clearmodifiers Return >/dev/null 2>&1 || fail "could not press Enter"
    wait_for "the error box" has_message_box "$PID"
    local box
    box=$(message_boxes "$PID")
    check_in_front "the error box" "$box" "$main"
    check_in_front "the error box" "$box" "$editor"

    open_tray_menu
    press_in_tray_menu e
    wait_for "the program to end" ended "$PID"
    local status=0
    wait "$PID" || status=$?
    forget_pid "$PID"
    check "the program ends with status 0 (got $status)" [ "$status" -eq 0 ]
    same_bytes "$CASE_DIR/before" "$data" ||
        fail "the file changed: $(show_difference "$CASE_DIR/before" "$data")"
}

# Whether a window is minimised: iconic by its WM_STATE, or hidden by the
# window manager's _NET_WM_STATE.
minimised()
{
    local props
    props=$(xprop -id "$1" WM_STATE _NET_WM_STATE 2>/dev/null) || return 1
    grep -q 'window state: Iconic' <<<"$props" ||
        grep -q '_NET_WM_STATE(ATOM) = .*_NET_WM_STATE_HIDDEN' <<<"$props"
}

# Whether a window is back: viewable, not minimised, and the active window.
restored()
{
    [ -n "$(window_line "$PID" "$1")" ] && ! minimised "$1" &&
        [ "$(xdotool getactivewindow 2>/dev/null)" = "$1" ]
}

# Whether a window asks the window manager to offer neither minimising nor
# maximising (_MOTIF_WM_HINTS: its functions given, without MWM_FUNC_ALL,
# MWM_FUNC_MINIMIZE or MWM_FUNC_MAXIMIZE). openbox offers to minimise all
# the same.
asks_no_minimise()
{
    local hints flags functions
    hints=$(xprop -id "$1" _MOTIF_WM_HINTS 2>/dev/null | sed -n 's/^_MOTIF_WM_HINTS([^)]*) = //p')
    IFS=', ' read -r flags functions _ <<<"$hints"
    [ -n "$functions" ] && ((flags & 1)) && ! ((functions & 0x19))
}

# Minimises a window as its title bar's button would (WM_CHANGE_STATE to
# iconic, which the window manager carries out) and waits until it is.
minimise()
{
    xdotool windowminimize "$1" >/dev/null 2>&1 || fail "could not minimise window $1"
    wait_for "window $1 minimised" minimised "$1"
    wait_for "window $1 unmapped" eval '[ -z "$(window_line "$PID" "$1")" ]'
}

# Under a window manager, which minimises any window whatever it asks for:
# a minimised main alert window comes back, in front and active, from a
# left click on the icon and from "Tikora"; About minimised (the window
# manager takes the main window with it) comes back from "About", and the
# editor from "Set Alarm".
case_minimised_windows_come_back()
{
    start_display
    start_tray
    start_window_manager
    start_program_settled
    wait_for "the icon in the tray" has_docked_icon "$PID"

    click_icon 1 || fail "could not click the tray icon"
    wait_for "the main alert window" has_alert_window "$PID"
    local main
    main=$(the_alert_window "$PID") || exit 1
    wait_for "the main alert window active" restored "$main"
    check "the main alert window asks for no minimise button" asks_no_minimise "$main"

    minimise "$main"
    click_icon 1 || fail "could not click the tray icon"
    wait_for "the main alert window back from a left click" restored "$main"

    minimise "$main"
    open_tray_menu
    press_in_tray_menu t
    wait_for "the main alert window back from Tikora" restored "$main"

    xdotool windowfocus --sync "$main" key --clearmodifiers ctrl+a >/dev/null 2>&1 ||
        fail "could not press Ctrl+A in the main alert window"
    wait_for "About" has_one untitled_dialogs "$PID"
    local about
    about=$(untitled_dialogs "$PID")
    wait_for "About active" restored "$about"
    check "About asks for no minimise button" asks_no_minimise "$about"
    minimise "$about"
    open_tray_menu
    press_in_tray_menu a
    wait_for "About back from About" restored "$about"
    check "one About" has_one untitled_dialogs "$PID"
    xdotool windowfocus --sync "$about" key --clearmodifiers Escape >/dev/null 2>&1 ||
        fail "could not press Escape in About"
    wait_for "About to close" has_none untitled_dialogs "$PID"

    open_tray_menu
    press_in_tray_menu s
    wait_for "the editor" has_one editors "$PID"
    local editor
    editor=$(editors "$PID")
    wait_for "the editor active" restored "$editor"
    check "the editor asks for no minimise button" asks_no_minimise "$editor"
    minimise "$editor"
    open_tray_menu
    press_in_tray_menu s
    wait_for "the editor back from Set Alarm" restored "$editor"
    check "one editor" has_one editors "$PID"
}

# With no notification area (and a window manager), the main alert window
# shown at start is the only way in: Enter acknowledges (the file is saved
# again) but the window stays; its close box ends the program.
case_no_tray_window_stays()
{
    local data="$CASE_DIR/work/Tikor.dat"
    first_start_file >"$data"
    local written
    written=$(stat -c %i "$data")

    start_display
    start_window_manager
    start_program
    wait_for "the main alert window" has_alert_window "$PID"
    local main
    main=$(the_alert_window "$PID") || exit 1
    check "no notification area" eval '! tray_host_up'
    wait_for "the start-up save" file_replaced "$data" "$written"
    written=$(stat -c %i "$data")

    press_enter "$main" || fail "could not press Enter in the main alert window"
    wait_for "the acknowledgement's save" file_replaced "$data" "$written"
    never_during_quiet_period "the main alert window hid with no way back" \
        eval '[ -z "$(window_line "$PID" "$main")" ]'
    check "the program still runs" alive "$PID"

    "${XHELPER[@]}" close "$main" || fail "could not close the main alert window"
    wait_for "the program to end" ended "$PID"
    local status=0
    wait "$PID" || status=$?
    forget_pid "$PID"
    check "the program ends with status 0 (got $status)" [ "$status" -eq 0 ]
}

# Whether a slot's date in the data file is a text (quoted there).
date_is() { [ "$(line_of "$1" $((4 + 7 * $2)))" = "\"$3\"" ]; }

# Paged down to rows 20 to 31 with the scroll bar, accepted with Enter and
# opened again, the editor shows the same rows and the keyboard is in the
# first of them: a date typed at once lands in row 20, not in row 0.
case_editor_keeps_its_place()
{
    local data="$CASE_DIR/work/Tikor.dat"
    first_start_file >"$data"
    local written
    written=$(stat -c %i "$data")

    start_display
    start_tray
    start_window_manager
    start_program
    wait_for "the icon in the tray" has_docked_icon "$PID"
    wait_for "the start-up save" file_replaced "$data" "$written"

    open_tray_menu
    press_in_tray_menu s
    wait_for "the editor" has_one editors "$PID"
    local editor i
    editor=$(editors "$PID")
    # The scroll bar's trough above its down arrow, 522,9 21x243 inside the
    # editor: each click pages down by 1000 twips, six reach the bottom.
    for i in 1 2 3 4 5 6 7; do
        click_in "$editor" 532 225 || fail "could not click the scroll bar"
    done
    xdotool windowfocus --sync "$editor" key --clearmodifiers Return >/dev/null 2>&1 ||
        fail "could not press Enter in the editor"
    wait_for "the editor to accept and close" has_none editors "$PID"

    open_tray_menu
    press_in_tray_menu s
    wait_for "the editor again" has_one editors "$PID"
    editor=$(editors "$PID")
    xdotool windowfocus --sync "$editor" type 03/20/09 >/dev/null 2>&1 ||
        fail "could not type in the editor"
    xdotool key --clearmodifiers Return >/dev/null 2>&1 || fail "could not press Enter"
    wait_for "the editor to accept and close again" has_none editors "$PID"
    check "no error box" has_no_message_box "$PID"
    wait_for "the date typed in row 20" date_is "$data" 20 03/20/09
    check "row 0 untouched" date_is "$data" 0 ""
}

# Starts the program with only FOLDER on its PATH, so the desktop's opener
# is whatever FOLDER holds, and chooses Help from the tray menu.
help_with_path()
{
    local folder=$1 name=$2
    start_in "$CASE_DIR/work" "$name" env PATH="$folder" "$PROGRAM"
    wait_for "the icon in the tray" has_docked_icon "$PID"
    open_tray_menu
    press_in_tray_menu h
}

# Help with no program to open the page (none on the PATH, or an opener
# that finds no viewer, as xdg-open does without a browser) says so in a
# box titled Tikora. With an opener that works, it gets the shipped page
# and no box opens.
case_help_cannot_open()
{
    local none="$CASE_DIR/none" failing="$CASE_DIR/failing" working="$CASE_DIR/working"
    mkdir -p "$none" "$failing" "$working"
    printf '#!/bin/sh\necho "xdg-open: no method available for opening $1" >&2\nexit 3\n' \
        >"$failing/xdg-open"
    printf '#!/bin/sh\necho "$1" >"%s/opened"\n' "$CASE_DIR" >"$working/xdg-open"
    chmod +x "$failing/xdg-open" "$working/xdg-open"

    start_display
    start_tray
    local folder
    for folder in "$none" "$failing"; do
        help_with_path "$folder" "$(basename "$folder")"
        wait_for "the box saying Help could not open ($(basename "$folder"))" has_message_box "$PID"
        dismiss_failure_box
        stop_pid "$PID"
    done

    help_with_path "$working" working
    wait_for "the opener to be given the page" test -s "$CASE_DIR/opened"
    local page
    page=$(cat "$CASE_DIR/opened")
    check "the page is the help page ($page)" grep -q '<title>Tikora help</title>' "$page"
    never_during_quiet_period "a box opened though the page opened" has_message_box "$PID"
}

# A window's frame as the window manager draws it: "LEFT TOP WIDTH HEIGHT"
# of its outer edge on the screen (its own geometry and _NET_FRAME_EXTENTS).
outer_geometry()
{
    local x y w h extents l r t b
    read -r x y w h < <(geometry "$1") || return 1
    extents=$(xprop -id "$1" _NET_FRAME_EXTENTS 2>/dev/null | sed -n 's/^.* = //p')
    IFS=', ' read -r l r t b <<<"$extents"
    [ -n "$b" ] || return 1
    echo $((x - l)) $((y - t)) $((w + l + r)) $((h + t + b))
}

# Whether the date picker sits where it belongs: its outer left edge a third
# of its outer width (rounded) left of the editor's, its top level with the
# editor's.
picker_placed()
{
    local ex ey px py pw
    read -r ex ey _ < <(outer_geometry "$1") || return 1
    read -r px py pw _ < <(outer_geometry "$2") || return 1
    [ "$px" -eq $(((3 * ex - pw + 1) / 3)) ] && [ "$py" -eq "$ey" ]
}

# Under a window manager, which frames every window: the date picker opens
# over the editor's top left corner by its outer width, not its inner one.
case_date_picker_beside_the_editor()
{
    start_display
    start_tray
    start_window_manager
    start_program_settled
    wait_for "the icon in the tray" has_docked_icon "$PID"
    open_tray_menu
    press_in_tray_menu s
    wait_for "the editor" has_one editors "$PID"
    local editor picker
    editor=$(editors "$PID")
    # Row 1's date box: 50, 25 inside the editor.
    click_in "$editor" 50 25 || fail "could not click the date box"
    wait_for "the date picker" has_one pickers "$PID"
    picker=$(pickers "$PID")
    wait_for "the picker framed" outer_geometry "$picker"
    echo "editor: $(outer_geometry "$editor"); picker: $(outer_geometry "$picker")"
    wait_for "the date picker beside the editor" picker_placed "$editor" "$picker"
    never_during_quiet_period "the date picker moved away" eval '! picker_placed "$editor" "$picker"'
}

# Watches a folder and writes the name of every file opened in it.
start_open_watch()
{
    local folder=$1 log=$2
    "${XHELPER[@]}" watch-opens "$folder" >"$log" 2>&1 &
    started $!
    wait_for "the folder watch" grep -qx ready "$log"
}

# cmake --install puts the program, the sounds, the icons, the metainfo, the
# manual page and the desktop entry (also as the login entry) in place; the
# entry's command starts the program in the user's data folder, made for it;
# the installed program, started from any folder, plays the installed sounds.
case_install()
{
    local prefix="$CASE_DIR/prefix"
    cmake --install "$BUILD_DIR" --prefix "$prefix" >"$CASE_DIR/install.log" 2>&1 ||
        fail "cmake --install failed: $(tail -n 5 "$CASE_DIR/install.log")"
    check "bin/tikora installed and executable" [ -x "$prefix/bin/tikora" ]
    local path size
    for path in share/applications/org.example.Tikora.desktop \
        etc/xdg/autostart/org.example.Tikora.desktop \
        share/icons/hicolor/scalable/apps/org.example.Tikora.svg \
        share/metainfo/org.example.Tikora.metainfo.xml share/man/man1/tikora.1.gz \
        share/doc/tikora/copyright \
        share/tikora/sounds/checkmsgs.wav share/tikora/sounds/Alert.wav \
        share/tikora/sounds/Keytry.wav share/tikora/sounds/Keyhaw.wav; do
        check "$path installed" [ -s "$prefix/$path" ]
    done
    # The sound plugin, in the library folder's tikora/ (lib/ or lib/<arch>/).
    local plugin
    plugin=$(find "$prefix" -path '*/lib*/tikora/tikora-sound.so' | head -n 1)
    check "the sound plugin installed" [ -s "$plugin" ]
    for size in 16 22 24 32 48 64 128 256; do
        check "the ${size}px icon installed" \
            [ -s "$prefix/share/icons/hicolor/${size}x${size}/apps/org.example.Tikora.png" ]
    done
    local desktop="$prefix/share/applications/org.example.Tikora.desktop"
    check "desktop entry names the icon" grep -qx 'Icon=org.example.Tikora' "$desktop"
    check "desktop entry is an application" grep -qx 'Type=Application' "$desktop"
    check "the login entry is the menu entry" \
        same_bytes "$desktop" "$prefix/etc/xdg/autostart/org.example.Tikora.desktop"

    start_display
    start_tray

    # The desktop entry's command, found on PATH, with a fresh home and
    # started from an unrelated folder.
    local home="$CASE_DIR/home" elsewhere="$CASE_DIR/elsewhere"
    mkdir -p "$home" "$elsewhere"
    local command=()
    mapfile -d '' command < <("${XHELPER[@]}" desktop-exec "$desktop")
    check "desktop entry has a command" [ ${#command[@]} -gt 0 ]
    start_in "$elsewhere" installed env HOME="$home" PATH="$prefix/bin:$PATH" "${command[@]}"
    local data="$home/.local/share/tikora/Tikor.dat"
    wait_for "the data file in the user's data folder" test -f "$data"
    check "the data folder is the user's alone" \
        [ "$(stat -c %a "$home/.local/share/tikora")" = 700 ]
    first_start_file >"$CASE_DIR/expected"
    check "the first-start file" same_bytes "$CASE_DIR/expected" "$data"
    check "runs in the data folder" \
        [ "$(readlink -f "/proc/$PID/cwd")" = "$(realpath "$home/.local/share/tikora")" ]
    check "runs the installed program" \
        [ "$(readlink -f "/proc/$PID/exe")" = "$(realpath "$prefix/bin/tikora")" ]
    check "no sound library loaded before the first sound" \
        eval '! grep -q "libQt6Multimedia\|tikora-sound" "/proc/$PID/maps"'
    check "nothing written where it was started" [ -z "$(ls -A "$elsewhere")" ]
    stop_pid "$PID"

    # The installed program started directly from another folder, with an
    # entry due and "Alert1" chosen, opens the installed Alert.wav.
    local folder="$CASE_DIR/anywhere"
    mkdir -p "$folder"
    {
        header "$SOUND_ALERT1"
        entry "$TODAY" "Sound check" "09:29:52" 0 0 0 0
        cleared_slots 1 31
    } >"$folder/Tikor.dat"
    start_open_watch "$prefix/share/tikora/sounds" "$CASE_DIR/opens.log"
    start_in "$folder" anywhere "$prefix/bin/tikora"
    wait_for "the entry fired" fired_flag_is "$folder/Tikor.dat" 0 1
    wait_for "the installed Alert.wav opened" grep -qx 'Alert.wav' "$CASE_DIR/opens.log"
    check "the installed sound plugin is the one loaded" \
        grep -q "$(realpath "$plugin")" "/proc/$PID/maps"

    # Docks and task bars put its windows under the menu entry's icon: the
    # class of the alert window is the entry's StartupWMClass.
    local wm_class window
    wm_class=$(sed -n 's/^StartupWMClass=//p' "$desktop")
    check "the desktop entry names a window class" [ -n "$wm_class" ]
    wait_for "an alert window" has_alert_window "$PID"
    window=$(the_alert_window "$PID") || exit 1
    check "the alert window's class is '$wm_class' (WM_CLASS: $(window_classes "$window"))" \
        [ "$(window_classes "$window" | sed -n 's/^"[^"]*", "\(.*\)"$/\1/p')" = "$wm_class" ]
}

# ---------------------------------------------------------------- runner

ALL_CASES=(first_start due_entry empty_message broken_file broken_file_due second_copy
    one_copy_whatever_the_lock one_copy_read_only_folder planted_link alerts_come_back
    damaged_file_full_disk damaged_file_read_only_folder file_size_limit no_windows_left
    windows_in_front minimised_windows_come_back no_tray_window_stays editor_keeps_its_place
    help_cannot_open date_picker_beside_the_editor install
    rewritten_by_another_program)

preflight()
{
    local tool
    for tool in Xvfb trayer openbox xdotool xwininfo xprop xwd setpriv "$PYTHON" cmake; do
        command -v "$tool" >/dev/null || { echo "missing tool: $tool (run scripts/setup.sh)"; return 1; }
    done
    [ -n "$FAKETIME_LIB" ] || { echo "missing libfaketime (run scripts/setup.sh)"; return 1; }
    [ -x "$PROGRAM" ] || { echo "no program at $PROGRAM"; return 1; }
}

run_case()
{
    local name=$1
    local case_dir="$ROOT/$name"
    mkdir -p "$case_dir/work"
    (
        CASE_DIR=$case_dir
        trap finish_case EXIT
        trap 'exit 143' TERM INT HUP
        "case_$name"
    ) >"$case_dir/output" 2>&1 &
    CASE_PID=$!
    wait "$CASE_PID"
    local status=$?
    CASE_PID=""
    if [ "$status" -eq 0 ]; then
        echo "PASS $name"
        return 0
    fi
    echo "FAIL $name"
    sed 's/^/    /' "$case_dir/output"
    local log
    for log in "$case_dir"/*.log; do
        [ -s "$log" ] || continue
        echo "    --- $(basename "$log")"
        tail -n 15 "$log" | sed 's/^/    /'
    done
    return 1
}

main()
{
    preflight || exit 1
    local cases=("$@") passed=0 failed=0 name
    [ ${#cases[@]} -gt 0 ] || cases=("${ALL_CASES[@]}")
    for name in "${cases[@]}"; do
        if ! declare -F "case_$name" >/dev/null; then
            echo "FAIL $name (no such case)"
            failed=$((failed + 1))
        elif run_case "$name"; then
            passed=$((passed + 1))
        else
            failed=$((failed + 1))
        fi
    done
    echo "$passed passed, $failed failed"
    [ "$failed" -eq 0 ]
}

main "$@"
