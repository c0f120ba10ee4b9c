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

Table rows (figure, value, floor, ratio, target, met?; tab-separated) go to
ROWS; every single reading is printed.
"""

import argparse
import datetime
import os
import shutil
import statistics
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from wholeprogram import (MEMORY_AFTER, Session, User, alive, data_file_bytes, run_ns,  # noqa: E402
                          threads)

IDLE_SECONDS = 60.0
# The due entries are written in UTC, so the programs run with TZ=UTC here.
POLL = {"TIKORA_CLOCK": "poll", "TZ": "UTC"}
EXACT = {"TIKORA_CLOCK": "exact", "TZ": "UTC"}
RUN_AS = None  # who the programs run as: User(--user)


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


def with_due_entry(data, when):
    """The full data file with slot 0 armed for WHEN (UTC: the programs run
    with TZ=UTC)."""
    lines = data.decode("cp1252").split("\r\n")
    lines[3:10] = [f'"{when:%m/%d/%y}"', '"Benchmark alarm"', f'"{when:%H:%M:%S}"',
                   "0", "0", "0", "0"]
    return "\r\n".join(lines).encode("cp1252")


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


def measure_idle(root, programs, data, log):
    sessions, result, readings = {}, {}, {}
    try:
        for name in programs:
            sessions[name] = Session(root, f"idle-{name}", data, RUN_AS)
            sessions[name].start_x()
        for name, session in sessions.items():
            path, env = programs[name]
            session.launch(path, env)
            session.wait_docked()
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
    finally:
        for session in sessions.values():
            session.close()
    return result


def one_alert(root, tag, program, env, data_for, log):
    """Launches PROGRAM in a fresh session; DATA_FOR(session) writes its data
    file and returns what the delay is counted from (a wall-clock time), or
    is called once the icon is docked when it returns None first."""
    session = Session(root, tag, data_for(None), RUN_AS)
    try:
        session.start_x()
        session.launch(program, env)
        session.wait_docked()
        since = data_for(session)
        mapped = wait_alert(session, time.monotonic() + 10.0)
    finally:
        session.close()
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
            for name, label in (("exact", "exact clock"), ("poll", "500 ms clock")):
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
            for name, label in (("exact", "exact clock"), ("poll", "500 ms clock")):
                d = delays[name]
                rows.append("\t".join([
                    f"alarm delay, {label}: due second to window viewable "
                    f"(median of {len(d)}; largest)",
                    f"{ms(statistics.median(d))}; {ms(max(d))}", "-", "-",
                    "<= 50 ms median" if name == "exact" else "-",
                    ("yes" if statistics.median(d) <= 0.05 else "NO") if name == "exact" else "-"]))
            changes = measure_file_changes(root, clocks, data, 10, log)
            for name, label in (("exact", "exact clock"), ("poll", "500 ms clock")):
                d = changes[name]
                rows.append("\t".join([
                    f"file changed by another program to alert viewable, {label} "
                    f"(median of {len(d)}; largest)",
                    f"{ms(statistics.median(d))}; {ms(max(d))}", "-", "-", "<= 500 ms",
                    "yes" if max(d) <= 0.5 else "NO"]))
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
