# SPDX-License-Identifier: MIT
"""The desktop notification of an alert, from outside: the real program on
a session bus of the case's own, where the test's notification service
(tikora_notifyservice, built beside the program) records every call and
chooses actions as a user on the desktop would."""

import os
import subprocess

from cases.handover import start_bus, start_on_bus
from datafile import (NEXT_WEEK, SOUND_MESSAGE, TODAY, cleared_slots, entry, file_equals,
                      header, write)
from processes import check, fail, never_during_quiet_period, wait_for
from windows import alert_windows, docked_icons, press_enter_in


def service_lines(case):
    """What the service has recorded so far, a line a call."""
    try:
        with open(case.path("notifyservice.log"), errors="replace") as f:
            return f.read().splitlines()
    except FileNotFoundError:
        return []


def start_service(case, bus):
    """The notification service on BUS, its commands on its standard input."""
    helper = os.path.join(case.build_dir, "tikora_notifyservice")
    if not os.path.isfile(helper):
        fail(f"missing {helper} (built with the program)")
    env = dict(os.environ, DBUS_SESSION_BUS_ADDRESS=bus)
    service = case.start([helper], "notifyservice.log", env=env, stdin=subprocess.PIPE)
    wait_for("the notification service", lambda: "ready" in service_lines(case))
    return service


def choose(service, notification, key):
    service.stdin.write(f"invoke {notification} {key}\n".encode())
    service.stdin.flush()


def notified(case):
    return [line for line in service_lines(case) if line.startswith("Notify ")]


def table(stand_up, bank_fired):
    """A weekly entry in slot 3 and a one-time one in slot 4, both due five
    seconds after the start."""
    return (header(SOUND_MESSAGE) + cleared_slots(0, 2)
            + entry(stand_up, "Stand-up", "09:29:55", 0, 1, 0, 0)
            + entry(TODAY, "Call the bank", "09:29:55", 0, 0, 0, bank_fired)
            + cleared_slots(5, 31))


def notification_answers_for_its_window(case):
    """Two alerts, two notifications with their messages and both actions,
    urgency critical, never expiring. The first one's OK acknowledges as the
    window's OK would (its window goes, the weekly entry moves on by 7 days),
    and nothing is closed for it; the second window's Enter closes the
    second notification."""
    data = os.path.join(case.work, "Tikor.dat")
    write(data, table(TODAY, 0))
    write(case.path("moved"), table(NEXT_WEEK, 1))
    case.start_desktop()
    bus = start_bus(case)
    service = start_service(case, bus)
    p = start_on_bus(case, bus, "tikora")
    wait_for("the icon in the tray", lambda: docked_icons(p.pid))
    wait_for("two alert windows", lambda: len(alert_windows(p.pid)) == 2)
    wait_for("two notifications", lambda: len(notified(case)) == 2)
    actions = "actions=default,OK,snooze,Snooze 5 minutes urgency=2 timeout=0"
    expected = [f"Notify 41 app=Tikora icon=org.example.Tikora summary=Stand-up {actions}",
                f"Notify 42 app=Tikora icon=org.example.Tikora summary=Call the bank {actions}"]
    check(f"the notifications as sent: {notified(case)}", notified(case) == expected)

    choose(service, 41, "default")
    wait_for("one alert window left", lambda: len(alert_windows(p.pid)) == 1)
    wait_for("the weekly entry moved on by 7 days",
             lambda: file_equals(case.path("moved"), data))
    press_enter_in(alert_windows(p.pid)[0], "the second alert window")
    wait_for("the second notification closed", lambda: "CloseNotification 42" in service_lines(case))
    wait_for("no alert window", lambda: not alert_windows(p.pid))
    check("nothing closed for the notification answered on the desktop",
          "CloseNotification 41" not in service_lines(case))


def no_notification_when_turned_off(case):
    """TIKORA_NO_NOTIFICATIONS=1: the alert window opens, no notification."""
    data = os.path.join(case.work, "Tikor.dat")
    write(data, table(TODAY, 1))
    case.start_desktop()
    bus = start_bus(case)
    start_service(case, bus)
    p = case.start_in(case.work, "tikora", "env", f"DBUS_SESSION_BUS_ADDRESS={bus}",
                      "TIKORA_NO_NOTIFICATIONS=1", case.program)
    wait_for("an alert window", lambda: alert_windows(p.pid))
    never_during_quiet_period("a notification", lambda: notified(case))
