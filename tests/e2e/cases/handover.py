# SPDX-License-Identifier: MIT
"""A later start in the folder of a running copy: a second start hands over
to it on the session bus (a private bus of the case's own), and
`tikora --add` and `--list` go through it; with no copy running they work on
the file itself. Most other cases give the program a bus address that leads
nowhere: there a second start says "already running" (one_copy.py)."""

import os
import shutil

import datafile
from datafile import (SOUND_MESSAGE, TODAY, cleared_slots, entry, file_equals, header,
                      same_bytes, show_difference, write)
from cases.one_copy import second_copy_refused
from processes import alive, check, ended, fail, wait_for
from windows import (accept_editor, alert_windows, docked_icons, message_boxes, open_editor,
                     toplevel_windows)

BUS_CONFIG = """<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>session</type>
  <listen>unix:path={socket}</listen>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
    <allow own="*"/>
  </policy>
</busconfig>
"""


def start_bus(case, name="bus"):
    """A session bus of the case's own, on the socket NAME; its address."""
    if shutil.which("dbus-daemon") is None:
        fail("missing tool: dbus-daemon (run scripts/setup.sh)")
    socket = case.path(name)
    with open(case.path(name + ".conf"), "w") as f:
        f.write(BUS_CONFIG.format(socket=socket))
    case.start(["dbus-daemon", "--nofork", "--nosyslog", "--config-file",
                case.path(name + ".conf")], name + ".log")
    wait_for(f"the session bus {name}", lambda: os.path.exists(socket))
    return "unix:path=" + socket


def start_on_bus(case, bus, name, *arguments):
    """The program (with ARGUMENTS) in the work folder, on the bus BUS (None:
    the address that leads nowhere, as every case has)."""
    prefix = ["env", f"DBUS_SESSION_BUS_ADDRESS={bus}"] if bus else []
    return case.start_in(case.work, name, *prefix, case.program, *arguments)


def command(case, bus, name, *arguments):
    """Runs a command to its end: its exit status and what it printed."""
    p = start_on_bus(case, bus, name, *arguments)
    wait_for(f"{name} to end", lambda: ended(p.pid))
    status = case.end_status(p)
    with open(case.path(name + ".log"), errors="replace") as f:
        return status, f.read()


def check_says(case, bus, name, arguments, status, printed, whole=True):
    """Runs a command NAME; checks its exit status and that it printed
    PRINTED, all of what it printed unless WHOLE is false."""
    got, said = command(case, bus, name, *arguments)
    check(f"{name} ends with {status} (got {got}: {said!r})", got == status)
    check(f"{name} prints {printed!r} (got {said!r})",
          said == printed if whole else printed in said)


def answers(case, bus):
    """Whether the running copy answers on the bus (a --list through it)."""
    answers.count = getattr(answers, "count", 0) + 1
    status, _ = command(case, bus, f"list-ready-{answers.count}", "--list")
    return status == 0


def running_copy(case, bus):
    """The program running in the work folder on BUS, its icon in the tray,
    answering on the bus, past its start-up save (an editor opened before
    that is accepted and closed by the start-up's own accept)."""
    data = os.path.join(case.work, "Tikor.dat")
    if not os.path.exists(data):
        write(data, datafile.first_start_file())
    written = datafile.inode(data)
    case.start_desktop()
    first = start_on_bus(case, bus, "tikora")
    wait_for("the start-up save", lambda: datafile.inode(data) not in (None, written))
    wait_for("the icon in the tray", lambda: docked_icons(first.pid))
    wait_for("the running copy to answer on the bus", lambda: answers(case, bus))
    return first


def table(*rows):
    """Tikor.dat with the given (slot, entry) rows, cleared elsewhere."""
    by_slot = dict(rows)
    return header(SOUND_MESSAGE) + b"".join(
        by_slot.get(slot, cleared_slots(slot, slot)) for slot in range(32))


def second_start_hands_over(case):
    """A second start in the folder of a running copy: the running copy
    shows its main alert window, as "&Tikora" does, and the second ends by
    itself with 0, with no window or box of its own; the file is untouched.
    A copy that runs where the bus does not reach it is not answered for:
    there the second start says "already running"."""
    bus = start_bus(case)
    first = running_copy(case, bus)
    data = os.path.join(case.work, "Tikor.dat")
    shutil.copyfile(data, case.path("before"))
    check("no window of the running copy before", not toplevel_windows(first.pid))

    second = start_on_bus(case, bus, "second")

    def ended_without_a_box():
        if message_boxes(second.pid):
            fail("the second start showed a message box")
        return ended(second.pid)
    wait_for("the second start to end by itself", ended_without_a_box)
    status = case.end_status(second)
    check(f"the second start ends with 0 (got {status})", status == 0)
    wait_for("the running copy's main alert window", lambda: alert_windows(first.pid))
    check("one window of the running copy", len(toplevel_windows(first.pid)) == 1)
    check("the running copy still runs", alive(first.pid))
    check("the file's bytes untouched", same_bytes(case.path("before"), data))

    # A third start on another bus, where no copy answers: the old message.
    other = start_bus(case, "other-bus")
    third = start_on_bus(case, other, "third")
    second_copy_refused(case, third, "no copy answers on its bus")
    check("the running copy still runs after the third", alive(first.pid))


def two_starts_at_once(case):
    """Two starts in one folder at the same moment: one runs, and the other,
    which finds the folder taken before the first is on the bus, still
    hands over to it (exit 0, no box) rather than saying "already
    running"."""
    bus = start_bus(case)
    data = os.path.join(case.work, "Tikor.dat")
    write(data, datafile.first_start_file())
    case.start_desktop()
    starts = [start_on_bus(case, bus, "one"), start_on_bus(case, bus, "other")]

    def one_ended():
        for p in starts:
            if message_boxes(p.pid):
                fail("a start showed a message box")
        return any(ended(p.pid) for p in starts)
    wait_for("one of the two starts to end by itself", one_ended)
    gone = next(p for p in starts if ended(p.pid))
    running = next(p for p in starts if p is not gone)
    status = case.end_status(gone)
    check(f"the start that handed over ends with 0 (got {status})", status == 0)
    check("the other still runs", alive(running.pid))
    wait_for("the running copy's icon", lambda: docked_icons(running.pid))
    wait_for("the running copy's main alert window", lambda: alert_windows(running.pid))
    check("no message box", not message_boxes(running.pid))


def add_through_the_running_copy(case):
    """`--add` with a copy running goes through it: it saves the entry at
    once into the first empty row, and its editor shows it (the editor's OK
    then saves the same file). `--list` lists through it. With the editor
    open, an add is refused in words and nothing changes."""
    data = os.path.join(case.work, "Tikor.dat")
    write(data, table((0, entry(TODAY, "Stand-up", "10:00:00", 1, 0, 0, 0))))
    bus = start_bus(case)
    first = running_copy(case, bus)

    check_says(case, bus, "add",
               ["--add", "March 18, 2009", "7:30 PM", "Take the pills", "--weekly"], 0,
               "2\t03/18/09\t19:30:00\tweekly\tarmed\tTake the pills\n")
    added = table((0, entry(TODAY, "Stand-up", "10:00:00", 1, 0, 0, 0)),
                  (1, entry("03/18/09", "Take the pills", "19:30:00", 0, 1, 0, 0)))
    write(case.path("added"), added)
    if not file_equals(case.path("added"), data):
        fail(f"the running copy did not save the entry: "
             f"{show_difference(case.path('added'), data)}")

    check_says(case, bus, "list", ["--list"], 0,
               "1\t03/17/09\t10:00:00\tdaily\tarmed\tStand-up\n"
               "2\t03/18/09\t19:30:00\tweekly\tarmed\tTake the pills\n")

    # The editor holds the entry: its OK (Enter) writes the same rows.
    editor = open_editor(first.pid)

    check_says(case, bus, "add-editing", ["--add", "3/19/09", "8:00", "Later"], 1,
               "the editor is open", whole=False)
    check("the file unchanged while the editor is open", file_equals(case.path("added"), data))

    accept_editor(first.pid, editor)
    check("the editor's OK kept the added entry", file_equals(case.path("added"), data))
    check("no message box", not message_boxes(first.pid))


def add_and_list_with_no_copy(case):
    """With no copy running, `--add` writes the file itself, `--list` reads
    it; a bad date ends with 2 and a full table with 1, the file byte for
    byte as it was. None needs a display."""
    data = os.path.join(case.work, "Tikor.dat")
    write(data, table((3, entry("03/20/09", "Dentist", "09:00:00", 0, 0, 0, 1))))
    check_says(case, None, "add", ["--add", "3/18/09", "7:05", "Pills", "--daily"], 0,
               "1\t03/18/09\t07:05:00\tdaily\tarmed\tPills\n")
    write(case.path("added"), table((0, entry("03/18/09", "Pills", "07:05:00", 1, 0, 0, 0)),
                                    (3, entry("03/20/09", "Dentist", "09:00:00", 0, 0, 0, 1))))
    if not file_equals(case.path("added"), data):
        fail(f"--add wrote otherwise: {show_difference(case.path('added'), data)}")

    check_says(case, None, "list", ["--list"], 0,
               "1\t03/18/09\t07:05:00\tdaily\tarmed\tPills\n"
               "4\t03/20/09\t09:00:00\tonce\tfired\tDentist\n")

    check_says(case, None, "bad-date", ["--add", "2/30/09", "7:05", "Pills"], 2,
               "'2/30/09' is not a day", whole=False)
    check("the file byte for byte as it was", file_equals(case.path("added"), data))

    full = header(SOUND_MESSAGE) + entry(TODAY, "taken", "08:00:00", 0, 0, 0, 0) * 32
    write(data, full)
    write(case.path("full"), full)
    check_says(case, None, "full", ["--add", "3/18/09", "7:05", "Pills"], 1,
               "all 32 rows hold an alarm", whole=False)
    check("the full file byte for byte as it was", file_equals(case.path("full"), data))
    check("nothing else made in the folder", sorted(os.listdir(case.work)) == ["Tikor.dat"])
