#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""The clock's figures: the exact clock (the default) against the 500 ms
clock (TIKORA_CLOCK=poll) and the floor program, measured from outside in
one run, under Xvfb with trayer as the tray, as bench/wholeprogram.py does:

    clock.py --program build-bench/tikora \\
             --floor build-bench/bench/tikora_floor --rows ROWS [--trials 20]

- idle wake-ups and CPU: the three at once, each under its own X server,
  with the same full Tikor.dat (nothing due); from 10 s after the launch,
  for 60 s: voluntary context switches of every thread (each one a sleep
  the process woke from: /proc/PID/task/*/status), and the scheduler's CPU
  time of every thread (/proc/PID/task/*/schedstat).
- alarm delay: a fresh launch of either clock (alternating), each in a
  fresh session, whose Tikor.dat has one entry due at a whole second 4 to
  5 s ahead; the delay is from that
  second to the alert window being viewable (polled every millisecond
  through libX11), TRIALS launches of each; the median and the largest.
- file change: a fresh launch of either clock, idle for a second, gets a
  new Tikor.dat from outside (written to a temporary file and renamed over
  it, as an editor saves) with an entry already due; the delay is from the
  rename to the alert window being viewable. 10 of each.
- alert windows open: either clock, side by side, with 1, 16 or 32 entries
  due a few seconds after the launch; once their windows are open (each
  ticks every 500 ms for its clock label), the CPU time of every thread
  over 20 s. Three rounds of each count; the median.
- rewrites: either clock, 200 rewrites of Tikor.dat in place (emptied,
  then written in two writes) and 200 by deleting it and writing it anew,
  by this script, one every 300 ms, each with an entry due; the delay from
  the end of each write to its alert window viewable (then closed through
  its close box), and every problem box seen (a window named "Tikora").
- the time zone's folder: the exact clock with TZ naming a link in a
  folder that stands in for /etc; voluntary switches while 100 other files
  are written into that folder (a second after a wake-up, so the clock's
  own wake-ups are a minute away), and after the link is replaced.

Table rows (figure, value, floor, ratio, target, met?; tab-separated) go to
ROWS; every single reading is printed.
"""

import argparse
import contextlib
import datetime
import os
import shutil
import statistics
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from wholeprogram import (MEMORY_AFTER, Session, User, alive, data_file_bytes, run_ns,  # noqa: E402
                          threads, wait_until)

IDLE_SECONDS = 60.0
WINDOW_COUNTS = (1, 16, 32)
WINDOWS_SECONDS = 20.0
WINDOWS_ROUNDS = 3
REWRITES = 200
REWRITE_EVERY = 0.3
OTHER_FILES = 100
# The due entries are written in UTC, so the programs run with TZ=UTC here.
POLL = {"TIKORA_CLOCK": "poll", "TZ": "UTC"}
EXACT = {"TIKORA_CLOCK": "exact", "TZ": "UTC"}
RUN_AS = None  # who the programs run as: User(--user)
CLOCKS = (("exact", "exact clock"), ("poll", "500 ms clock"))  # name, label


def switches(pid):
    total = 0
    for task in threads(pid):
        try:
            with open(f"/proc/{pid}/task/{task}/status") as f:
                for line in f:
                    if line.startswith("voluntary_ctxt_switches:"):
                        total += int(line.split()[1])
        except OSError:
            pass
    return total


def with_due_entry(data, when, count=1):
    """The full data file with slots 0 to COUNT - 1 armed for WHEN (UTC: the
    programs run with TZ=UTC)."""
    lines = data.decode("cp1252").split("\r\n")
    for slot in range(count):
        lines[3 + 7 * slot:10 + 7 * slot] = [
            f'"{when:%m/%d/%y}"', f'"Benchmark alarm {slot + 1}"', f'"{when:%H:%M:%S}"',
            "0", "0", "0", "0"]
    return "\r\n".join(lines).encode("cp1252")


def alert_windows(session):
    """The viewable top-level windows of the program that are alert
    windows (untitled), and the problem boxes (titled "Tikora")."""
    display, pid = session.display, session.program.pid
    alerts, boxes = [], []
    for window in display.children(display.root):
        if display.window_pid(window) == pid and display.viewable(window):
            (boxes if display.window_name(window) == "Tikora" else alerts).append(window)
    return alerts, boxes


def alert_window(session):
    """A viewable top-level window of the program: an alert window (the
    icon lives inside trayer, not at the top)."""
    display, pid = session.display, session.program.pid
    for window in display.children(display.root):
        if display.window_pid(window) == pid and display.viewable(window):
            return window
    return None


def wait_alert(session, deadline):
    while time.monotonic() < deadline:
        if alert_window(session):
            return time.time()
        time.sleep(0.001)
    raise RuntimeError("no alert window")


@contextlib.contextmanager
def launched(root, tag, data, programs):
    """{name: session} for PROGRAMS ({name: (path, env)}, in its order), each
    in a fresh session named TAG-name with the data file DATA: every X
    server started first, then each program launched and docked. The
    sessions are closed at the end."""
    sessions = {}
    try:
        for name in programs:
            sessions[name] = Session(root, f"{tag}-{name}", data, RUN_AS)
            sessions[name].start_x()
        for name, session in sessions.items():
            session.launch(*programs[name])
            session.wait_docked()
        yield sessions
    finally:
        for session in sessions.values():
            session.close()


@contextlib.contextmanager
def launched_one(root, tag, data, program, env):
    """One fresh session with the data file DATA, PROGRAM launched and docked."""
    with launched(root, tag, data, {"program": (program, env)}) as sessions:
        yield sessions["program"]


def measure_idle(root, programs, data, log):
    result, readings = {}, {}
    with launched(root, "idle", data, programs) as sessions:
        for name, session in sessions.items():
            time.sleep(max(0.0, session.started + MEMORY_AFTER - time.monotonic()))
            pid = session.program.pid
            readings[name] = (time.monotonic(), switches(pid), run_ns(pid), threads(pid))
        for name, session in sessions.items():
            t0, sw0, ns0, threads0 = readings[name]
            time.sleep(max(0.0, t0 + IDLE_SECONDS - time.monotonic()))
            pid = session.program.pid
            if not alive(pid):
                raise RuntimeError(f"{name} ended while idle")
            sw, ns, seconds = switches(pid) - sw0, run_ns(pid) - ns0, time.monotonic() - t0
            if threads(pid) != threads0:
                raise RuntimeError(f"the threads of {name} changed while idle")
            result[name] = {"wakeups": sw / seconds, "cpu_ms": ns / 1e6 * 60.0 / seconds}
            log(f"idle {name} over {seconds:.1f} s: {sw} voluntary switches "
                f"({sw / seconds:.3f}/s), CPU {ns / 1e6:.1f} ms")
    return result


def one_alert(root, tag, program, env, data_for, log):
    """Launches PROGRAM in a fresh session; DATA_FOR(session) writes its data
    file and returns what the delay is counted from (a wall-clock time), or
    is called once the icon is docked when it returns None first."""
    with launched_one(root, tag, data_for(None), program, env) as session:
        since = data_for(session)
        mapped = wait_alert(session, time.monotonic() + 10.0)
    return mapped - since


def measure_alarm_delays(root, programs, data, trials, log):
    """A fresh launch each time, the entry due at a whole second 3 to 4 s
    after the launch."""
    delays = {name: [] for name in programs}
    for trial in range(trials):
        for name in (list(programs) if trial % 2 == 0 else list(programs)[::-1]):
            due = datetime.datetime.now(datetime.timezone.utc).replace(microsecond=0)
            due += datetime.timedelta(seconds=5)
            program, env = programs[name]
            delay = one_alert(root, f"alarm-{name}-{trial}", program, env,
                              lambda s: with_due_entry(data, due) if s is None
                              else due.timestamp(), log)
            delays[name].append(delay)
            log(f"alarm delay {name} #{trial + 1}: {delay * 1000:.1f} ms")
    return delays


def renamed_over(session, data):
    """Another program's save: a new Tikor.dat with an entry due a few
    seconds ago, renamed over the old one a second after the start."""
    time.sleep(1.0)
    past = datetime.datetime.now(datetime.timezone.utc) - datetime.timedelta(seconds=5)
    fresh = session.data_path + ".new"
    with open(fresh, "wb") as f:
        f.write(with_due_entry(data, past))
    session.user.own(fresh)
    written = time.time()
    os.rename(fresh, session.data_path)
    return written


def measure_file_changes(root, programs, data, trials, log):
    delays = {name: [] for name in programs}
    for trial in range(trials):
        for name in programs:
            program, env = programs[name]
            delay = one_alert(root, f"file-{name}-{trial}", program, env,
                              lambda s: data if s is None else renamed_over(s, data), log)
            delays[name].append(delay)
            log(f"file change {name} #{trial + 1}: {delay * 1000:.1f} ms")
    return delays


def measure_windows_cpu(root, programs, data, log):
    """{count: {name: [CPU ms a second, per round]}}: both clocks side by
    side, each with COUNT alert windows open."""
    result = {count: {name: [] for name in programs} for count in WINDOW_COUNTS}
    for count in WINDOW_COUNTS:
        for round_ in range(WINDOWS_ROUNDS):
            order = list(programs) if round_ % 2 == 0 else list(programs)[::-1]
            due = datetime.datetime.now(datetime.timezone.utc).replace(microsecond=0)
            due += datetime.timedelta(seconds=8)
            with launched(root, f"windows-{count}-{round_}", with_due_entry(data, due, count),
                          {name: programs[name] for name in order}) as sessions:
                for name in order:
                    wait_until(f"{count} alert windows of {name}",
                               lambda: len(alert_windows(sessions[name])[0]) >= count,
                               deadline=30.0)
                # The alerts' sounds are over, their windows drawn.
                time.sleep(3.0)
                readings = {}
                for name in order:
                    pid = sessions[name].program.pid
                    readings[name] = (time.monotonic(), run_ns(pid), threads(pid))
                time.sleep(WINDOWS_SECONDS)
                for name in order:
                    pid = sessions[name].program.pid
                    t0, ns0, threads0 = readings[name]
                    ns, seconds = run_ns(pid) - ns0, time.monotonic() - t0
                    if not alive(pid) or threads(pid) != threads0:
                        raise RuntimeError(f"{name} ended or changed its threads")
                    result[count][name].append(ns / 1e6 / seconds)
                    log(f"{count} windows open, {name}, round {round_ + 1}: "
                        f"CPU {ns / 1e6 / seconds:.3f} ms/s")
    return result


def rewrite(path, data, in_place, user):
    """Another program's save of PATH: emptied and written in place, or
    deleted and written anew (made the user's first), in two writes."""
    if not in_place:
        os.remove(path)
    fd = os.open(path, os.O_WRONLY | os.O_CREAT | os.O_TRUNC, 0o600)
    try:
        if not in_place and os.getuid() == 0:
            os.fchown(fd, user.uid, user.gid)
        half = len(data) // 2
        os.write(fd, data[:half])
        os.write(fd, data[half:])
    finally:
        os.close(fd)
    return time.time()


def measure_rewrites(root, program, env, data, log, tag):
    """{mode: (delays in s, problem boxes seen)} for REWRITES rewrites in
    each mode, one every REWRITE_EVERY s, each with an entry due."""
    result = {}
    with launched_one(root, f"rewrites-{tag}", data, program, env) as session:
        time.sleep(2.0)  # the start-up's save is over
        today = datetime.datetime.now(datetime.timezone.utc).replace(
            hour=0, minute=0, second=1, microsecond=0)
        due = with_due_entry(data, today)
        for mode in ("in place", "deleted and written"):
            delays, boxes = [], set()
            start = time.monotonic()
            for i in range(REWRITES):
                time.sleep(max(0.0, start + i * REWRITE_EVERY - time.monotonic()))
                written = rewrite(session.data_path, due, mode == "in place", session.user)
                deadline = time.monotonic() + 2.0
                while True:
                    alerts, shown = alert_windows(session)
                    for box in shown:
                        boxes.add(box)
                        session.display.close_window(box)
                    if alerts:
                        delays.append(time.time() - written)
                        for window in alerts:
                            session.display.close_window(window)
                        break
                    if time.monotonic() > deadline:
                        delays.append(float("inf"))
                        break
                    time.sleep(0.001)
                wait_until("the alert window to go",
                           lambda: not alert_windows(session)[0], deadline=5.0, step=0.005)
            result[mode] = (delays, len(boxes))
            log(f"rewrites {mode}, {tag}: {len(boxes)} problem boxes, median "
                f"{statistics.median(delays) * 1000:.0f} ms, largest {max(delays) * 1000:.0f} ms")
    return result


def measure_zone_folder(root, program, data, log):
    """(switches while OTHER_FILES files are written beside the zone link,
    switches after the link is replaced) for the exact clock."""
    zones = tempfile.mkdtemp(prefix="zones.", dir=root)
    os.chmod(zones, 0o755)
    etc, zoneinfo = os.path.join(zones, "etc"), os.path.join(zones, "zoneinfo")
    os.mkdir(etc, 0o755)
    os.mkdir(zoneinfo, 0o755)
    shutil.copy("/usr/share/zoneinfo/UTC", os.path.join(zoneinfo, "UTC"))
    os.chmod(os.path.join(zoneinfo, "UTC"), 0o644)
    link = os.path.join(etc, "localtime")
    os.symlink(os.path.join(zoneinfo, "UTC"), link)
    with launched_one(root, "zone-folder", data, program,
                      {"TIKORA_CLOCK": "exact", "TZ": ":" + link}) as session:
        time.sleep(3.0)
        pid = session.program.pid
        # A wake-up now: the clock's next one is a minute away.
        session.put_data(data)
        time.sleep(1.0)
        before = switches(pid)
        for i in range(OTHER_FILES):
            with open(os.path.join(etc, f"package-file-{i}.conf"), "w") as f:
                f.write(f"setting = {i}\n")
            time.sleep(0.01)
        time.sleep(1.0)
        others = switches(pid) - before
        before = switches(pid)
        os.symlink(os.path.join(zoneinfo, "UTC"), link + ".new")
        os.rename(link + ".new", link)
        time.sleep(1.0)
        zone = switches(pid) - before
        if not alive(pid):
            raise RuntimeError("the program ended")
        log(f"zone folder: {others} voluntary switches while {OTHER_FILES} other files were "
            f"written, {zone} after the zone link was replaced")
        return others, zone


def main():
    global IDLE_SECONDS, RUN_AS
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--program", required=True)
    parser.add_argument("--floor", required=True)
    parser.add_argument("--rows", required=True)
    parser.add_argument("--user", default="", help="run the programs as this user (as root)")
    parser.add_argument("--trials", type=int, default=20)
    parser.add_argument("--idle-seconds", type=float, default=IDLE_SECONDS)
    args = parser.parse_args()
    IDLE_SECONDS = args.idle_seconds
    RUN_AS = User(args.user)
    log = lambda text: print(text, flush=True)
    program = os.path.realpath(args.program)
    clocks = {"exact": (program, EXACT), "poll": (program, POLL)}
    idle_programs = dict(clocks, floor=(os.path.realpath(args.floor), {}))
    data = data_file_bytes(datetime.date.today())
    rows = []
    missing = [tool for tool in ("Xvfb", "trayer") if not shutil.which(tool)]
    if missing:
        rows.append("\t".join(["the clock's figures", "not measured: missing " + ", ".join(missing),
                               "-", "-", "-", "-"]))
    else:
        root = tempfile.mkdtemp(prefix="tikora-clock.")
        os.chmod(root, 0o755)
        try:
            idle = measure_idle(root, idle_programs, data, log)
            for name, label in CLOCKS:
                value, floor = idle[name]["wakeups"], idle["floor"]["wakeups"]
                target = "<= 0.1/s" if name == "exact" else "-"
                met = ("yes" if value <= 0.1 else "NO") if name == "exact" else "-"
                rows.append("\t".join([
                    f"idle wake-ups, {label}: voluntary switches/s over {IDLE_SECONDS:.0f} s",
                    f"{value:.3f}/s", f"{floor:.3f}/s (floor program)",
                    f"{value / floor:.2f}x" if floor else "-", target, met]))
            exact_cpu, poll_cpu = idle["exact"]["cpu_ms"], idle["poll"]["cpu_ms"]
            rows.append("\t".join([
                "idle CPU a minute, exact clock (floor column: the 500 ms clock)",
                f"{exact_cpu:.1f} ms", f"{poll_cpu:.1f} ms (500 ms clock)",
                f"{exact_cpu / poll_cpu:.2f}x", "<= 0.1x the 500 ms clock",
                "yes" if exact_cpu <= 0.1 * poll_cpu else "NO"]))
            rows.append("\t".join([
                "idle CPU a minute, floor program", f"{idle['floor']['cpu_ms']:.1f} ms", "-", "-",
                "-", "-"]))
            delays = measure_alarm_delays(root, clocks, data, args.trials, log)
            ms = lambda v: f"{v * 1000:.0f} ms"
            for name, label in CLOCKS:
                d = delays[name]
                rows.append("\t".join([
                    f"alarm delay, {label}: due second to window viewable, the first alarm "
                    f"of a run (median of {len(d)}; largest)",
                    f"{ms(statistics.median(d))}; {ms(max(d))}", "-", "-",
                    "median <= 10 ms, largest <= 50 ms" if name == "exact" else "-",
                    ("yes" if statistics.median(d) <= 0.01 and max(d) <= 0.05 else "NO")
                    if name == "exact" else "-"]))
            changes = measure_file_changes(root, clocks, data, 10, log)
            for name, label in CLOCKS:
                d = changes[name]
                rows.append("\t".join([
                    f"file changed by another program to alert viewable, {label} "
                    f"(median of {len(d)}; largest)",
                    f"{ms(statistics.median(d))}; {ms(max(d))}", "-", "-", "<= 500 ms",
                    "yes" if max(d) <= 0.5 else "NO"]))
            cpu = measure_windows_cpu(root, clocks, data, log)
            for count in WINDOW_COUNTS:
                exact, poll = (statistics.median(cpu[count][n]) for n in ("exact", "poll"))
                rows.append("\t".join([
                    f"CPU with {count} alert window{'s' if count > 1 else ''} open, exact clock "
                    f"(floor column: the 500 ms clock; median of {WINDOWS_ROUNDS} rounds)",
                    f"{exact:.3f} ms/s", f"{poll:.3f} ms/s (500 ms clock)",
                    f"{exact / poll:.2f}x", "<= 1.0x the 500 ms clock",
                    "yes" if exact <= poll else "NO"]))
            for name, label in CLOCKS:
                for mode, (d, boxes) in measure_rewrites(root, *clocks[name], data, log,
                                                         name).items():
                    target = "0 boxes, largest <= 200 ms" if name == "exact" else "-"
                    met = (("yes" if boxes == 0 and max(d) <= 0.2 else "NO")
                           if name == "exact" else "-")
                    rows.append("\t".join([
                        f"Tikor.dat rewritten {mode} by another program, {REWRITES} times, "
                        f"one every {REWRITE_EVERY * 1000:.0f} ms, {label}: problem boxes; "
                        "write to alert viewable (median; largest)",
                        f"{boxes} boxes; {ms(statistics.median(d))}; {ms(max(d))}", "-", "-",
                        target, met]))
            others, zone = measure_zone_folder(root, program, data, log)
            rows.append("\t".join([
                f"{OTHER_FILES} other files written into the folder of the time zone link "
                "(a stand-in for /etc), exact clock: wake-ups (voluntary switches)",
                str(others), "-", "-", "0", "yes" if others == 0 else "NO"]))
            rows.append("\t".join([
                "the time zone link replaced, the same: wake-ups (it must wake)", str(zone),
                "-", "-", ">= 1", "yes" if zone >= 1 else "NO"]))
        except (RuntimeError, OSError, KeyError) as e:
            log(f"clock figures: {e}")
            rows.append("\t".join(["the clock's figures", f"not measured: {e}", "-", "-", "-",
                                   "-"]))
        finally:
            shutil.rmtree(root, ignore_errors=True)
    with open(args.rows, "w") as f:
        f.write("\n".join(rows) + "\n")
    return 0


if __name__ == "__main__":
    sys.exit(main())
