# SPDX-License-Identifier: MIT
"""A broken or damaged Tikor.dat, and saves that fail: what the user is told,
what still rings, and what the files hold afterwards; and a file another
program is rewriting, which is never taken for a broken one."""

import datetime
import os
import shutil
import sys
import time

import datafile
from datafile import (NEXT_WEEK, SOUND_ALERT1, SOUND_MESSAGE, TODAY, cleared_slots, entry,
                      file_changed, file_equals, first_start_file, header, lines, read,
                      same_bytes, write)
from processes import (DEADLINE, QUIET_PERIOD, VICTIM, alive, as_user, check, fail,
                       never_during_quiet_period, wait_for)
from windows import (acknowledge, alert_window_opened, alert_windows, dismiss_failure_box,
                     docked_icons, message_boxes, press_enter, shows_red_message,
                     the_alert_window, the_message_box)


def write_broken_file(case, slot2):
    """A full file whose slot 2 is given; the broken one is its first 100
    lines (slots 0 to 12 whole, slot 13 without its fired flag, nothing
    after)."""
    full = (header(SOUND_ALERT1)
            + entry("03/16/09", "Dentist, bring the card", "08:15:00", 0, 0, 0, 1)
            + entry("03/20/09", "Call mum", "18:00:00", 0, 0, 0, 0)
            + entry(*slot2)
            + entry("03/19/09", "Bins out", "20:00:00", 0, 1, 0, 0)
            + cleared_slots(4, 6)
            + entry("04/01/09", "Quarterly report", "10:30:00", 0, 0, 1, 0)
            + cleared_slots(8, 11)
            + entry("03/18/09", "Gym", "06:45:00", 1, 0, 0, 0)
            + entry("03/25/09", "Pay the rent", "09:00:00", 0, 0, 0, 0)
            + cleared_slots(14, 19)
            + entry("05/05/09", "Lost to the damage", "12:00:00", 0, 0, 0, 0)
            + cleared_slots(21, 31))
    write(case.path("full"), full)
    broken = b"".join(full.splitlines(keepends=True)[:100])
    write(case.path("broken"), broken)
    write(os.path.join(case.work, "Tikor.dat"), broken)


def rewritten_file(case, slot2):
    """What the program keeps of the broken file: every field it could read,
    the fired flag of slot 13 (a one-off entry) as before any load (1), the
    rest cleared. Slot 2 is given as it should then be."""
    full = read(case.path("full")).splitlines(keepends=True)
    return (b"".join(full[:17])  # header, slots 0 and 1
            + entry(*slot2)
            + b"".join(full[24:100])  # slots 3 to 12, slot 13 but its flag
            + lines("1") + cleared_slots(14, 31))


def start_on_broken_file(case):
    """The program started on the broken file, showing the failure message."""
    case.start_desktop()
    p = case.start_program()
    wait_for("the failure message", lambda: message_boxes(p.pid))
    return p


def broken_file(case):
    """A broken data file: the failure message once; the file stays as it
    was until it is dismissed, then is rewritten with every entry that could
    be read, and Tikor.dat.bad holds the broken bytes."""
    data = os.path.join(case.work, "Tikor.dat")
    bad = os.path.join(case.work, "Tikor.dat.bad")
    slot2 = ("03/20/09", "Team lunch", "12:30:00", 0, 1, 0, 0)
    write_broken_file(case, slot2)
    write(case.path("expected"), rewritten_file(case, slot2))

    p = start_on_broken_file(case)
    # The clock ticks while the message is shown; nothing is saved yet.
    never_during_quiet_period("the file changed while the message was shown",
                              lambda: file_changed(case.path("broken"), data, bad))
    dismiss_failure_box(p.pid)
    wait_for("the file rewritten", lambda: file_equals(case.path("expected"), data))
    check("Tikor.dat.bad holds the broken file", same_bytes(case.path("broken"), bad))
    never_during_quiet_period("the failure message was shown again",
                              lambda: message_boxes(p.pid))
    check("no alert window", not alert_windows(p.pid))
    check("file still as rewritten", same_bytes(case.path("expected"), data))


def broken_file_due(case):
    """The same broken file with a weekly entry in slot 2 due at start-up:
    it fires on the rewritten file, which keeps every readable entry, and
    Enter moves it on."""
    data = os.path.join(case.work, "Tikor.dat")
    bad = os.path.join(case.work, "Tikor.dat.bad")
    write_broken_file(case, (TODAY, "Stand-up", "09:00:00", 0, 1, 0, 0))
    write(case.path("fired"), rewritten_file(case, (TODAY, "Stand-up", "09:00:00", 0, 1, 0, 1)))
    write(case.path("moved"),
          rewritten_file(case, (NEXT_WEEK, "Stand-up", "09:00:00", 0, 1, 0, 0)))

    p = start_on_broken_file(case)
    dismiss_failure_box(p.pid)
    wait_for("the due entry fired on the kept entries",
             lambda: file_equals(case.path("fired"), data))
    check("Tikor.dat.bad holds the broken file", same_bytes(case.path("broken"), bad))
    window = alert_window_opened(p.pid)
    wait_for("the message in red in the alert window", lambda: shows_red_message(case, window))
    acknowledge(p.pid, [window])
    wait_for("the entry moved on by 7 days and armed",
             lambda: file_equals(case.path("moved"), data))
    never_during_quiet_period("the failure message was shown again",
                              lambda: message_boxes(p.pid))
    check("Tikor.dat.bad still holds the broken file", same_bytes(case.path("broken"), bad))


def damaged_file(date):
    """A one-time entry due in slot 0 on DATE, slot 20 damaged, and what
    follows the damage making the file larger than a whole one."""
    return (header(SOUND_MESSAGE) + entry(date, "Rings from memory", "00:00:01", 0, 0, 0, 0)
            + cleared_slots(1, 19)
            + lines('"05/05/09"', '"Lost if replaced"', '"12:00:00"', "not a number")
            + lines(*(f'"entry text kept only in the damaged file, line {n}"'
                      for n in range(1600))))


def dismiss_boxes_until_alert(p):
    """Dismisses message boxes as they come (a box opened inside another one
    is answered first) until an alert window is open and no box is, for a
    quiet period; returns how many different boxes there were. As a person
    reads a box before answering it, none is answered before the due entry
    has rung: its alert window and the box saying why its save was refused
    open over the first box (answered at once, the first box would be gone
    before the clock's first tick, and the refusal told in the tray)."""
    end = time.monotonic() + DEADLINE
    seen, calm_since = set(), None
    # A box may open a moment after the one before it went.
    while calm_since is None or time.monotonic() - calm_since < QUIET_PERIOD:
        if alert_windows(p.pid) and not message_boxes(p.pid):
            calm_since = calm_since or time.monotonic()
            time.sleep(0.1)
            continue
        calm_since = None
        if time.monotonic() >= end:
            fail(f"timed out after {DEADLINE}s waiting for an alert window")
        if not alert_windows(p.pid):
            time.sleep(0.1)
            continue
        for box in message_boxes(p.pid):
            seen.add(box)
            press_enter(box)
            time.sleep(0.3)
        time.sleep(0.1)
    return len(seen)


def damaged_file_rings_and_stays(case, data, p):
    """A damaged Tikor.dat whose copy Tikor.dat.bad cannot be made: the
    problem box shows, a due entry still rings and is acknowledged, and the
    damaged file is byte for byte as it was."""
    # "PROBLEM WITH SAVED FILE.", then once why the start-up save was refused.
    boxes = dismiss_boxes_until_alert(p)
    check(f"two boxes: the damage and the refused save (got {boxes})", boxes == 2)
    acknowledge(p.pid, [the_alert_window(p.pid)])
    bad = os.path.join(os.path.dirname(data), "Tikor.dat.bad")
    never_during_quiet_period("the damaged file changed",
                              lambda: file_changed(case.path("damaged"), data, bad))
    never_during_quiet_period("another box", lambda: message_boxes(p.pid))
    check("the damaged file is byte for byte there", same_bytes(case.path("damaged"), data))


def damaged_file_full_disk(case):
    """On a full disk: a file-size limit smaller than the damaged file,
    larger than a whole one."""
    data = os.path.join(case.work, "Tikor.dat")
    write(data, damaged_file(TODAY))
    shutil.copyfile(data, case.path("damaged"))
    case.start_desktop()
    # 64 KiB: a whole file fits, the damaged one (about 100 KiB) does not.
    p = case.start_in(case.work, "tikora", case.program, file_size_limit=64 * 1024)
    damaged_file_rings_and_stays(case, data, p)


def damaged_file_read_only_folder(case):
    """In a folder the user may not create files in."""
    # No fake clock for another user: an entry dated today (the program's
    # day, in UTC), due at once.
    today = datetime.datetime.now(datetime.timezone.utc).strftime("%m/%d/%y")
    write(case.path("damaged"), damaged_file(today))
    folder = case.read_only_folder(read(case.path("damaged")))
    case.start_desktop()
    p = case.start_in(folder, "tikora", "env", "-u", "LD_PRELOAD", "-u", "XDG_RUNTIME_DIR",
                      *as_user(VICTIM), case.program)
    damaged_file_rings_and_stays(case, os.path.join(folder, "Tikor.dat"), p)
    os.chmod(folder, 0o755)


def file_size_limit(case):
    """Under a file-size limit every write fails: the program does not die
    of it, says so (with no notification area, in a message box), and the
    file stays as it was."""
    data = os.path.join(case.work, "Tikor.dat")
    write(data, first_start_file())
    shutil.copyfile(data, case.path("before"))
    case.start_display()
    # Its output goes through a pipe, read by a cat started before the
    # limit: a message written to a log file under the limit would end it.
    reading, writing = os.pipe()
    try:
        case.start(["cat"], "tikora.log", stdin=reading)
        p = case.start_in(case.work, "tikora", case.program, file_size_limit=0, stdout=writing)
    finally:
        os.close(reading)
        os.close(writing)
    wait_for("the failed save's message box", lambda: message_boxes(p.pid) or not alive(p.pid))
    check("the program still runs (not ended by the limit)", alive(p.pid))
    the_message_box(p.pid)
    check("the file untouched", same_bytes(case.path("before"), data))
    check("no temporary file left", os.listdir(case.work) == ["Tikor.dat"])


def rewritten_by_another_program(case):
    """Another program rewrites a valid Tikor.dat twenty times, one every
    300 ms, in place (emptied, then written in two writes) and by deleting
    it and writing it anew: the program never shows the failure message,
    and it reads the last rewrite, whose entry is due, once it is written
    (its alert window opens)."""
    data = os.path.join(case.work, "Tikor.dat")
    write(case.path("valid"), header(SOUND_MESSAGE) + cleared_slots(0, 2)
          + entry("03/20/09", "Team lunch", "12:30:00", 0, 1, 0, 0) + cleared_slots(4, 31))
    write(case.path("due"), header(SOUND_MESSAGE) + cleared_slots(0, 2)
          + entry(TODAY, "Rewritten", "09:00:00", 0, 0, 0, 0) + cleared_slots(4, 31))
    shutil.copyfile(case.path("valid"), data)

    case.start_desktop()
    p = case.start_program()
    wait_for("the icon in the tray", lambda: docked_icons(p.pid))
    writer = case.start([sys.executable, os.path.abspath(datafile.__file__), "rewrite", data,
                         case.path("valid"), case.path("due")], "writer.log")
    while alive(writer.pid):
        if message_boxes(p.pid):
            fail("the failure message was shown for a file being written")
        time.sleep(0.05)
    check("the rewrites all written", case.end_status(writer) == 0)
    wait_for("the alert window of the last rewrite", lambda: alert_windows(p.pid))
    never_during_quiet_period("the failure message was shown", lambda: message_boxes(p.pid))
