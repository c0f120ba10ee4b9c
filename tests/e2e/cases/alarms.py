# SPDX-License-Identifier: MIT
"""Alarms ringing and acknowledged: the first start, a due entry, an empty
message, alerts that come back after the program ended, and rounds of 32
alerts that leave no window behind."""

import os
import shutil
import signal

from datafile import (NEXT_WEEK, SOUND_MESSAGE, TODAY, cleared_slots, entry, file_equals,
                      fired_flag_is, first_start_file, header, read, recorded_alerts,
                      same_bytes, show_difference, write)
from processes import check, ended, fail, never_during_quiet_period, wait_for
from windows import (acknowledge, alert_window_opened, alert_windows, all_windows,
                     describe_windows, docked_icons, listed, painted, pixels, shows_red_message,
                     toplevel_windows)


def first_start(case):
    """No data file: the 227-line file of a cleared table with "Message"
    chosen is written, the icon is in the tray, and no window opens."""
    case.start_desktop()
    p = case.start_program()
    data = os.path.join(case.work, "Tikor.dat")
    wait_for("the data file", lambda: os.path.isfile(data))
    write(case.path("expected"), first_start_file())
    if not same_bytes(case.path("expected"), data):
        fail(f"first-start file differs: {show_difference(case.path('expected'), data)}")
    wait_for("the icon in the tray", lambda: docked_icons(p.pid))
    if toplevel_windows(p.pid):
        fail(f"a window opened: {listed(describe_windows(p.pid))}")


def ringing(case, slot):
    """Starts the program; its alert window for SLOT, fired in the file."""
    case.start_desktop()
    p = case.start_program()
    data = os.path.join(case.work, "Tikor.dat")
    wait_for(f"slot {slot} fired in the file", lambda: fired_flag_is(data, slot, 1))
    return p, alert_window_opened(p.pid)


def due_entry(case):
    """A weekly entry due five seconds after start: one alert window with
    the message and an empty title, fired flag 1 in the file; Enter in it
    moves the entry on by 7 days, armed again, and the window goes."""
    data = os.path.join(case.work, "Tikor.dat")

    def table(date):
        return (header(SOUND_MESSAGE) + cleared_slots(0, 2)
                + entry(date, "Wake up: team meeting", "09:29:55", 0, 1, 0, 0)
                + entry("03/18/09", "Not yet", "07:00:00", 1, 0, 0, 0) + cleared_slots(5, 31))
    write(data, table(TODAY))
    write(case.path("moved"), table(NEXT_WEEK))

    p, window = ringing(case, 3)
    wait_for("the message in red in the alert window", lambda: shows_red_message(case, window))
    check("slot 4 still armed", fired_flag_is(data, 4, 0))

    acknowledge(p.pid, [window])
    wait_for("the entry moved on by 7 days and armed",
             lambda: file_equals(case.path("moved"), data))


def empty_message(case):
    """An entry with an empty message: its alert window's message strip
    stays black. Enter leaves a non-repeating entry fired."""
    data = os.path.join(case.work, "Tikor.dat")
    write(data, header(SOUND_MESSAGE) + entry(TODAY, "", "09:29:52", 0, 0, 0, 0)
          + cleared_slots(1, 31))

    p, window = ringing(case, 0)
    wait_for("the alert window painted", lambda: painted(case, window))
    red = pixels(case, window, "red", "strip")
    if red is None:
        fail("could not dump the alert window")
    if red != 0:
        fail(f"the message strip of an empty message holds {red} red pixels")

    before = case.path("before-enter")
    shutil.copyfile(data, before)
    acknowledge(p.pid, [window])
    check("a non-repeating entry stays fired", fired_flag_is(data, 0, 1))
    check("the acknowledgement changed nothing else", same_bytes(before, data))


def end_program_by(case, p, how):
    """Ends the program the way HOW says and waits for it to be gone: a
    signal of the session's end, the X server's death, or a kill."""
    if how == "xserver":
        case.stop(case.xvfb)
    else:
        p.send_signal(getattr(signal, "SIG" + how))
    wait_for(f"the program to end after {how}", lambda: ended(p.pid))
    case.end_status(p)
    if how == "xserver":
        case.stop_all()  # the tray host went with its display
        case.start_desktop()


def alerts_come_back(case):
    """A daily and a one-time entry are due; their two alert windows are
    open when the program ends: by SIGTERM, SIGHUP, SIGINT, the X server's
    death and kill -9 in turn. Each time, the next start opens both alerts
    again, once each; Enter in each moves the daily entry on from today and
    leaves the one-time entry fired, and the next start opens nothing."""
    data = os.path.join(case.work, "Tikor.dat")
    record = os.path.join(case.work, "Tikor.alerts")
    write(data, header(SOUND_MESSAGE)
          + entry(TODAY, "Daily stand-up", "09:29:40", 1, 0, 0, 0)
          + entry(TODAY, "Call the bank", "09:29:40", 0, 0, 0, 0) + cleared_slots(2, 31))
    write(case.path("acknowledged"), header(SOUND_MESSAGE)
          + entry("03/18/09", "Daily stand-up", "09:29:40", 1, 0, 0, 0)
          + entry(TODAY, "Call the bank", "09:29:40", 0, 0, 0, 1) + cleared_slots(2, 31))
    case.start_desktop()
    p = case.start_program()
    wait_for("two alert windows", lambda: len(alert_windows(p.pid)) >= 2)
    # Recorded before the fired flags are saved.
    wait_for("both entries fired in the file",
             lambda: fired_flag_is(data, 0, 1) and fired_flag_is(data, 1, 1))
    for how in ("TERM", "HUP", "INT", "xserver", "KILL"):
        end_program_by(case, p, how)
        check(f"after {how} both entries still fired", fired_flag_is(data, 0, 1))
        p = case.start_program()
        wait_for(f"two alert windows again after {how}", lambda: len(alert_windows(p.pid)) >= 2)
        never_during_quiet_period(f"a third alert window after {how}",
                                  lambda: len(alert_windows(p.pid)) >= 3)
        check(f"after {how} still two alerts recorded", recorded_alerts(record) == 2)
    acknowledge(p.pid, alert_windows(p.pid), "the alert windows")
    wait_for("the daily entry moved on, the other fired",
             lambda: file_equals(case.path("acknowledged"), data))
    check("no alert recorded once both are acknowledged", recorded_alerts(record) == 0)
    case.stop(p)
    p = case.start_program()
    wait_for("the icon in the tray", lambda: docked_icons(p.pid))
    never_during_quiet_period("an alert window at the start after OK",
                              lambda: alert_windows(p.pid))


def no_windows_left(case):
    """Rounds of 32 alerts, each acknowledged with Enter: afterwards the
    process has exactly the X windows it had before the first alert.
    Another writer arms all 32 slots again for each round."""
    data = os.path.join(case.work, "Tikor.dat")
    armed = case.path("armed")
    write(armed, header(SOUND_MESSAGE) + b"".join(
        entry(TODAY, f"Round alert {slot}", "00:00:01", 0, 0, 0, 0) for slot in range(32)))
    write(data, header(SOUND_MESSAGE) + cleared_slots(0, 31))

    case.start_desktop()
    p = case.start_program()
    wait_for("the tray icon", lambda: docked_icons(p.pid))
    before = all_windows(p.pid)
    for round_number in (1, 2, 3):
        following = os.path.join(case.work, "next")
        write(following, read(armed))
        os.replace(following, data)
        wait_for(f"32 alert windows in round {round_number}",
                 lambda: len(alert_windows(p.pid)) == 32)
        acknowledge(p.pid, alert_windows(p.pid), f"every alert window of round {round_number}")
    wait_for("the process's windows as before the first alert",
             lambda: all_windows(p.pid) == before)
