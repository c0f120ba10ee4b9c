#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""The whole-program figures of Tikora against its floor program, measured
from outside, in one run and in the same conditions:

    wholeprogram.py --program build-bench/tikora \\
                    --floor build-bench/bench/tikora_floor --rows ROWS \\
                    [--user NAME] [--rounds 5] [--cycles 500]

The floor is a bare tray program (bench/floor/): an icon with a menu and one
500 ms timer that reads and splits Tikor.dat, nothing else.

Every launch is of a fresh process in its own temporary folder holding the
same full Tikor.dat (227 lines, 32 armed entries dated decades ahead, so no
alarm is due and nothing is saved), under its own fresh Xvfb with trayer as
the notification-area host, started and holding the tray before the program.
The programs run as the unprivileged user NAME (through setpriv, with that
user's home) when the script runs as root, else as the caller; with the
system's time zone and no session bus.

One round is one launch of each program, the two alternating which goes
first (AB, BA, ...), both then running side by side, each under its own X
server, so whatever else the machine does falls on both alike. After one
round that is not counted (it fills the disk and font caches), --rounds are
counted, and each figure is the median of the rounds, with their range.

- start: from just before the exec to the moment the program's icon window
  (a window whose _NET_WM_PID is the program's) is viewable inside trayer;
  the window tree under trayer is polled every 5 ms through libX11 from this
  process (no helper processes started while the program starts).
- memory: 10 s after the launch, Rss, Pss and Anonymous of
  /proc/PID/smaps_rollup.
- idle CPU: the CPU time of every thread from the memory reading to
  --idle-seconds later: the scheduler's count (/proc/PID/task/*/schedstat,
  in ns). Afterwards the data file must be unchanged, the program still
  running and its threads the same.
- growth: Tikora alone, fed alarms ten at a time (a data file with ten
  entries due, put in place atomically), each alert window closed through
  its close box (WM_DELETE_WINDOW), which acknowledges it; Rss once the
  first 10 are acknowledged and once --cycles are, the difference per round.

The table rows (figure, value, floor, ratio, target, met?; tab-separated) go
to ROWS; each single reading is printed on stdout. A figure that could not
be measured says so, with the reason, instead of a number.
"""

import argparse
import ctypes
import datetime
import os
import pwd
import shutil
import signal
import statistics
import subprocess
import sys
import tempfile
import time

POLL_SECONDS = 0.005
START_DEADLINE = 30.0
MEMORY_AFTER = 10.0
IDLE_SECONDS = 20.0
ALARMS_AT_ONCE = 10

# ------------------------------------------------------------------ libX11


class XWindowAttributes(ctypes.Structure):
    _fields_ = [
        ("x", ctypes.c_int), ("y", ctypes.c_int),
        ("width", ctypes.c_int), ("height", ctypes.c_int),
        ("border_width", ctypes.c_int), ("depth", ctypes.c_int),
        ("visual", ctypes.c_void_p), ("root", ctypes.c_ulong),
        ("class_", ctypes.c_int), ("bit_gravity", ctypes.c_int),
        ("win_gravity", ctypes.c_int), ("backing_store", ctypes.c_int),
        ("backing_planes", ctypes.c_ulong), ("backing_pixel", ctypes.c_ulong),
        ("save_under", ctypes.c_int), ("colormap", ctypes.c_ulong),
        ("map_installed", ctypes.c_int), ("map_state", ctypes.c_int),
        ("all_event_masks", ctypes.c_long), ("your_event_mask", ctypes.c_long),
        ("do_not_propagate_mask", ctypes.c_long), ("override_redirect", ctypes.c_int),
        ("screen", ctypes.c_void_p),
    ]


IS_VIEWABLE = 2
XA_CARDINAL = 6

_x11 = ctypes.CDLL("libX11.so.6")
_x11.XOpenDisplay.restype = ctypes.c_void_p
_x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
_x11.XCloseDisplay.argtypes = [ctypes.c_void_p]
_x11.XDefaultRootWindow.restype = ctypes.c_ulong
_x11.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
_x11.XInternAtom.restype = ctypes.c_ulong
_x11.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
_x11.XGetSelectionOwner.restype = ctypes.c_ulong
_x11.XGetSelectionOwner.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
_x11.XQueryTree.restype = ctypes.c_int
_x11.XQueryTree.argtypes = [
    ctypes.c_void_p, ctypes.c_ulong, ctypes.POINTER(ctypes.c_ulong),
    ctypes.POINTER(ctypes.c_ulong), ctypes.POINTER(ctypes.POINTER(ctypes.c_ulong)),
    ctypes.POINTER(ctypes.c_uint)]
_x11.XGetWindowAttributes.restype = ctypes.c_int
_x11.XGetWindowAttributes.argtypes = [
    ctypes.c_void_p, ctypes.c_ulong, ctypes.POINTER(XWindowAttributes)]
_x11.XGetWindowProperty.restype = ctypes.c_int
_x11.XGetWindowProperty.argtypes = [
    ctypes.c_void_p, ctypes.c_ulong, ctypes.c_ulong, ctypes.c_long, ctypes.c_long,
    ctypes.c_int, ctypes.c_ulong, ctypes.POINTER(ctypes.c_ulong),
    ctypes.POINTER(ctypes.c_int), ctypes.POINTER(ctypes.c_ulong),
    ctypes.POINTER(ctypes.c_ulong), ctypes.POINTER(ctypes.c_void_p)]
_x11.XFree.argtypes = [ctypes.c_void_p]
_x11.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
_x11.XFlush.argtypes = [ctypes.c_void_p]
_x11.XSendEvent.restype = ctypes.c_int
_x11.XSendEvent.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_long,
                            ctypes.c_void_p]


class XClientMessageEvent(ctypes.Structure):
    _fields_ = [
        ("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
        ("display", ctypes.c_void_p), ("window", ctypes.c_ulong),
        ("message_type", ctypes.c_ulong), ("format", ctypes.c_int),
        ("data", ctypes.c_long * 5),
        ("pad", ctypes.c_long * 24),  # an XEvent is 24 longs; room to spare
    ]


CLIENT_MESSAGE = 33

# A window may go away between two requests; its error must not end us.
_ERROR_HANDLER = ctypes.CFUNCTYPE(ctypes.c_int, ctypes.c_void_p, ctypes.c_void_p)(
    lambda display, event: 0)
_x11.XSetErrorHandler(_ERROR_HANDLER)


class Display:
    def __init__(self, name):
        self.handle = _x11.XOpenDisplay(name.encode())
        if not self.handle:
            raise RuntimeError(f"cannot open display {name}")
        self.root = _x11.XDefaultRootWindow(self.handle)
        self.pid_atom = _x11.XInternAtom(self.handle, b"_NET_WM_PID", 0)
        self.tray_atom = _x11.XInternAtom(self.handle, b"_NET_SYSTEM_TRAY_S0", 0)
        self.pids = {}  # window -> _NET_WM_PID; ids are not reused soon
        self.protocols_atom = _x11.XInternAtom(self.handle, b"WM_PROTOCOLS", 0)
        self.delete_atom = _x11.XInternAtom(self.handle, b"WM_DELETE_WINDOW", 0)
        self.name_atom = _x11.XInternAtom(self.handle, b"_NET_WM_NAME", 0)
        self.utf8_atom = _x11.XInternAtom(self.handle, b"UTF8_STRING", 0)

    def close(self):
        if self.handle:
            _x11.XCloseDisplay(self.handle)
            self.handle = None

    def tray_owner(self):
        return _x11.XGetSelectionOwner(self.handle, self.tray_atom)

    def children(self, window):
        root, parent = ctypes.c_ulong(), ctypes.c_ulong()
        kids, count = ctypes.POINTER(ctypes.c_ulong)(), ctypes.c_uint()
        if not _x11.XQueryTree(self.handle, window, ctypes.byref(root), ctypes.byref(parent),
                               ctypes.byref(kids), ctypes.byref(count)):
            return []
        result = [kids[i] for i in range(count.value)]
        if kids:
            _x11.XFree(kids)
        return result

    def window_pid(self, window):
        if window in self.pids:
            return self.pids[window]
        kind, fmt = ctypes.c_ulong(), ctypes.c_int()
        items, after = ctypes.c_ulong(), ctypes.c_ulong()
        data = ctypes.c_void_p()
        pid = 0
        if _x11.XGetWindowProperty(self.handle, window, self.pid_atom, 0, 1, 0, XA_CARDINAL,
                                   ctypes.byref(kind), ctypes.byref(fmt), ctypes.byref(items),
                                   ctypes.byref(after), ctypes.byref(data)) == 0:
            if data.value:
                if items.value == 1 and fmt.value == 32:
                    pid = ctypes.cast(data, ctypes.POINTER(ctypes.c_ulong))[0]
                _x11.XFree(data)
        if pid:  # a window may get its property a moment after it appears
            self.pids[window] = pid
        return pid

    def window_name(self, window):
        """The window's _NET_WM_NAME, as a window manager shows it."""
        kind, fmt = ctypes.c_ulong(), ctypes.c_int()
        items, after = ctypes.c_ulong(), ctypes.c_ulong()
        data = ctypes.c_void_p()
        name = ""
        if _x11.XGetWindowProperty(self.handle, window, self.name_atom, 0, 256, 0, self.utf8_atom,
                                   ctypes.byref(kind), ctypes.byref(fmt), ctypes.byref(items),
                                   ctypes.byref(after), ctypes.byref(data)) == 0:
            if data.value:
                if fmt.value == 8:
                    name = ctypes.string_at(data.value, items.value).decode("utf-8", "replace")
                _x11.XFree(data)
        return name

    def viewable(self, window):
        attributes = XWindowAttributes()
        if not _x11.XGetWindowAttributes(self.handle, window, ctypes.byref(attributes)):
            return False
        return attributes.map_state == IS_VIEWABLE

    def shown_toplevels(self, pid):
        """The viewable top-level windows of process PID (no window manager
        runs: they are the root's children)."""
        return [w for w in self.children(self.root)
                if self.window_pid(w) == pid and self.viewable(w)]

    def close_window(self, window):
        """What a window manager's close box sends: WM_DELETE_WINDOW."""
        event = XClientMessageEvent()
        event.type = CLIENT_MESSAGE
        event.window = window
        event.message_type = self.protocols_atom
        event.format = 32
        event.data[0] = self.delete_atom
        event.data[1] = 0  # CurrentTime
        _x11.XSendEvent(self.handle, window, 0, 0, ctypes.byref(event))
        _x11.XFlush(self.handle)

    def subtree(self, window):
        found = []
        for child in self.children(window):
            found.append(child)
            found.extend(self.subtree(child))
        return found

    def docked_icon(self, hosts, pid):
        """A viewable window of process PID inside one of the HOSTS windows."""
        for host in hosts:
            for window in self.subtree(host):
                if self.window_pid(window) == pid and self.viewable(window):
                    return window
        return None


# --------------------------------------------------------------- processes


def alive(pid):
    try:
        with open(f"/proc/{pid}/stat") as f:
            state = f.read().rsplit(")", 1)[1].split()[0]
    except (OSError, IndexError):
        return False
    return state != "Z"


def stop(process, grace=5.0):
    """Ends one process that we started, by its id, and reaps it."""
    if process is None or process.poll() is not None:
        return
    process.send_signal(signal.SIGTERM)
    try:
        process.wait(grace)
    except subprocess.TimeoutExpired:
        process.kill()
        process.wait()


def wait_until(what, test, deadline=10.0, step=0.02):
    end = time.monotonic() + deadline
    while time.monotonic() < end:
        result = test()
        if result:
            return result
        time.sleep(step)
    raise RuntimeError(f"timed out waiting for {what}")


# ------------------------------------------------------------- data file

BANNERS = ['"THIS IS A SELF UPDATING FILE AND WILL CRASH IF TAMPERED WITH."',
           '"DELETE FILE COMPLETELY IF PROBLEM ARISES."']
SOUND_ALERT1 = "#FALSE#,#TRUE#,#FALSE#,#FALSE#"


def file_bytes(lines):
    assert len(lines) == 227
    return ("\r\n".join(lines) + "\r\n").encode("cp1252")


def data_file_bytes(today):
    """A full Tikor.dat as the program writes it: 32 armed entries dated
    about 40 years ahead (inside the two-digit year window), none due."""
    messages = ["Team meeting, room 4", "Call the garage about the car",
                "Pay the rent \u20ac 850", "Caf\u00e9 with Jos\u00e9",
                "Dentist at 10:15, bring the card"]
    lines = BANNERS + [SOUND_ALERT1]
    first = datetime.date(today.year + 40, 1, 1)
    for slot in range(32):
        day = first + datetime.timedelta(days=5 * slot)
        lines += [f'"{day:%m/%d/%y}"', f'"{messages[slot % len(messages)]}"',
                  f'"{slot % 24:02d}:{slot * 7 % 60:02d}:00"',
                  str(int(slot % 4 == 1)), str(int(slot % 4 == 2)), str(int(slot % 4 == 3)),
                  "0"]
    return file_bytes(lines)


def alarms_bytes(today, count, fired):
    """COUNT entries for the first second of today, fired or not (due), the
    rest cleared. The program saves the entries as it loaded them at its
    start, so it is started with these entries, fired."""
    lines = BANNERS + [SOUND_ALERT1]
    for slot in range(32):
        if slot < count:
            lines += [f'"{today:%m/%d/%y}"', f'"Alarm {slot + 1}"', '"00:00:01"',
                      "0", "0", "0", str(int(fired))]
        else:
            lines += ['""', '""', '""', "0", "0", "0", "1"]
    return file_bytes(lines)


# ------------------------------------------------------------------- a run


class User:
    """Who the programs run as: the caller, or (as root) an unprivileged user."""

    def __init__(self, name):
        if os.getuid() != 0 or not name:
            entry = pwd.getpwuid(os.getuid())
            self.command = []
        else:
            entry = pwd.getpwnam(name)
            self.command = ["setpriv", f"--reuid={entry.pw_uid}", f"--regid={entry.pw_gid}",
                            "--init-groups", "--"]
        self.name, self.uid, self.gid, self.home = (entry.pw_name, entry.pw_uid, entry.pw_gid,
                                                    entry.pw_dir)

    def own(self, path):
        if os.getuid() == 0:
            os.chown(path, self.uid, self.gid)


class Session:
    """One fresh X server with trayer holding the tray, one temporary folder
    with the data file, and then one program started in it."""

    def __init__(self, root, name, data, user):
        self.user = user
        self.dir = tempfile.mkdtemp(prefix=f"{name}.", dir=root)
        self.work = os.path.join(self.dir, "work")
        os.mkdir(self.work, 0o700)
        self.runtime = os.path.join(self.dir, "runtime")
        os.mkdir(self.runtime, 0o700)
        self.data_path = os.path.join(self.work, "Tikor.dat")
        self.put_data(data)
        for path in (self.dir, self.work, self.runtime):
            user.own(path)
        self.xvfb = self.trayer = self.program = None
        self.display = None
        self.hosts = []

    def put_data(self, data):
        """Puts a new data file in place at once: the program never reads
        half of it."""
        temporary = self.data_path + ".new"
        with open(temporary, "wb") as f:
            f.write(data)
        self.user.own(temporary)
        os.replace(temporary, self.data_path)

    def start_x(self):
        read_end, write_end = os.pipe()
        with open(os.path.join(self.dir, "xvfb.log"), "wb") as log:
            self.xvfb = subprocess.Popen(
                ["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1024x768x24",
                 "-nolisten", "tcp", "-noreset"],
                pass_fds=(write_end,), stdout=log, stderr=log, stdin=subprocess.DEVNULL)
        os.close(write_end)
        with os.fdopen(read_end) as f:
            number = f.readline().strip()
        if not number.isdigit():
            raise RuntimeError("Xvfb did not report a display")
        self.display_name = f":{number}"
        self.display = Display(self.display_name)
        with open(os.path.join(self.dir, "trayer.log"), "wb") as log:
            self.trayer = subprocess.Popen(
                ["trayer", "--edge", "bottom", "--align", "right", "--widthtype", "pixel",
                 "--width", "120", "--heighttype", "pixel", "--height", "24"],
                env=dict(os.environ, DISPLAY=self.display_name), stdout=log, stderr=log,
                stdin=subprocess.DEVNULL)
        wait_until("trayer to take the tray", self.display.tray_owner)
        # trayer's own top-level windows hold the docked icons.
        self.hosts = wait_until("trayer's window", lambda: [
            w for w in self.display.children(self.display.root)
            if self.display.window_pid(w) == self.trayer.pid])
        # Let the new server and trayer settle before the program starts.
        time.sleep(0.5)

    def launch(self, program, extra_env=None):
        # The system's time zone (no TZ), no session bus: the icon goes to
        # the X11 tray.
        env = {k: v for k, v in os.environ.items()
               if k not in ("DBUS_SESSION_BUS_ADDRESS", "XDG_DATA_HOME", "SESSION_MANAGER",
                            "TZ", "XDG_CONFIG_HOME", "XDG_CACHE_HOME", "TIKORA_CLOCK")}
        env.update(DISPLAY=self.display_name, QT_QPA_PLATFORM="xcb", LC_ALL="C.UTF-8",
                   XDG_RUNTIME_DIR=self.runtime, HOME=self.user.home, USER=self.user.name,
                   LOGNAME=self.user.name)
        env.update(extra_env or {})
        self.log = open(os.path.join(self.dir, "program.log"), "wb")
        self.started = time.monotonic()
        self.program = subprocess.Popen(self.user.command + [program], cwd=self.work, env=env,
                                        stdout=self.log, stderr=self.log,
                                        stdin=subprocess.DEVNULL)

    def wait_docked(self):
        """Seconds from the launch to the icon docked in trayer."""
        pid = self.program.pid
        while True:
            if self.display.docked_icon(self.hosts, pid):
                return time.monotonic() - self.started
            if self.program.poll() is not None:
                raise RuntimeError(f"the program ended (code {self.program.returncode})")
            if time.monotonic() - self.started > START_DEADLINE:
                raise RuntimeError("no icon in the tray")
            time.sleep(POLL_SECONDS)

    def close(self):
        stop(self.program)
        if self.display:
            self.display.close()
        stop(self.trayer)
        stop(self.xvfb)
        if getattr(self, "log", None):
            self.log.close()


def memory_kb(pid):
    values = {}
    with open(f"/proc/{pid}/smaps_rollup") as f:
        for line in f:
            key, _, rest = line.partition(":")
            if key in ("Rss", "Pss", "Anonymous"):
                values[key] = int(rest.split()[0])
    return values


def threads(pid):
    return sorted(os.listdir(f"/proc/{pid}/task"))


def run_ns(pid):
    """CPU time of every thread, in ns, from the scheduler (finer than ticks).
    A thread that ends takes its count with it: the caller checks that the
    threads stay the same."""
    total = 0
    for task in threads(pid):
        try:
            with open(f"/proc/{pid}/task/{task}/schedstat") as f:
                total += int(f.read().split()[0])
        except OSError:
            pass
    return total


# ------------------------------------------------------------------- main


def libraries(path):
    out = subprocess.run(["ldd", path], capture_output=True, text=True, check=True).stdout
    return sorted(line.split()[0] for line in out.splitlines() if "=>" in line)


def measure_round(root, programs, data, user, index, counted, log):
    """One launch of each, side by side; the order alternates with INDEX.
    Returns {name: {start, Rss, Pss, Anonymous, idle_ms}}."""
    order = list(programs) if index % 2 == 0 else list(programs)[::-1]
    sessions = {}
    result = {name: {} for name in programs}
    label = f"#{index + 1}" if counted else "(not counted)"
    try:
        for name in order:
            sessions[name] = Session(root, f"{name}-{index}", data, user)
            sessions[name].start_x()
        for name in order:
            sessions[name].launch(programs[name])
            result[name]["start"] = sessions[name].wait_docked()
            log(f"round {label} start {name}: {result[name]['start'] * 1000:.1f} ms")
        if not counted:
            return result
        readings = {}
        for name in order:
            session = sessions[name]
            time.sleep(max(0.0, session.started + MEMORY_AFTER - time.monotonic()))
            pid = session.program.pid
            with open(session.data_path, "rb") as f:
                before = f.read()
            readings[name] = (time.monotonic(), run_ns(pid), before, threads(pid))
            result[name].update(memory_kb(pid))
            log(f"round {label} memory {name}: Rss {result[name]['Rss']} kB, "
                f"Pss {result[name]['Pss']} kB, Anonymous {result[name]['Anonymous']} kB")
        for name in order:
            session = sessions[name]
            t0, ns0, before, threads0 = readings[name]
            time.sleep(max(0.0, t0 + IDLE_SECONDS - time.monotonic()))
            pid = session.program.pid
            if not alive(pid):
                raise RuntimeError(f"{name} ended while idling")
            ns = run_ns(pid) - ns0
            if threads(pid) != threads0:
                raise RuntimeError(f"the threads of {name} changed while idling")
            with open(session.data_path, "rb") as f:
                if f.read() != before:
                    raise RuntimeError(f"{name} wrote Tikor.dat while idling")
            result[name]["idle_ms"] = ns / 1e6
            log(f"round {label} idle CPU {name} over {IDLE_SECONDS:.0f} s: {ns / 1e6:.1f} ms")
    finally:
        for session in sessions.values():
            session.close()
    return result


def measure_growth(root, program, user, cycles, index, log):
    """Rss after the first ALARMS_AT_ONCE alarms fired and acknowledged, and
    after CYCLES; returns the two in kB."""
    today = datetime.date.today()
    session = Session(root, f"growth-{index}", alarms_bytes(today, ALARMS_AT_ONCE, True), user)
    try:
        session.start_x()
        session.launch(program)
        session.wait_docked()
        # The start-up's save (850 ms after the start) is over.
        time.sleep(2.0)
        pid = session.program.pid
        display = session.display
        done = 0
        readings = []
        while done < cycles:
            session.put_data(alarms_bytes(today, ALARMS_AT_ONCE, False))
            windows = wait_until(
                f"{ALARMS_AT_ONCE} alert windows",
                lambda: (lambda w: w if len(w) >= ALARMS_AT_ONCE else None)(
                    display.shown_toplevels(pid)), deadline=20.0, step=0.02)
            if len(windows) != ALARMS_AT_ONCE:
                raise RuntimeError(f"{len(windows)} windows shown for {ALARMS_AT_ONCE} alarms")
            for window in windows:
                display.close_window(window)
            wait_until("the alert windows to go", lambda: not display.shown_toplevels(pid),
                       deadline=20.0, step=0.02)
            if not alive(pid):
                raise RuntimeError("the program ended")
            done += ALARMS_AT_ONCE
            if done == ALARMS_AT_ONCE or done >= cycles:
                time.sleep(1.0)  # the acknowledged windows are deleted
                readings.append(memory_kb(pid)["Rss"])
                log(f"growth #{index + 1}: Rss {readings[-1]} kB after {done} alarms")
        return readings[0], readings[-1]
    finally:
        session.close()


def spread(values, show):
    """The median, with the range of the rounds."""
    return f"{show(statistics.median(values))} ({show(min(values))} to {show(max(values))})"


def main():
    global IDLE_SECONDS
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--program", required=True)
    parser.add_argument("--floor", required=True)
    parser.add_argument("--rows", required=True, help="file the table rows are written to")
    parser.add_argument("--user", default="", help="run the programs as this user (as root)")
    parser.add_argument("--rounds", type=int, default=5, help="counted rounds")
    parser.add_argument("--cycles", type=int, default=500,
                        help="alarms fired and acknowledged for the growth figure")
    parser.add_argument("--keep", action="store_true", help="keep the temporary folders")
    parser.add_argument("--idle-seconds", type=float, default=IDLE_SECONDS,
                        help="length of each idle CPU window")
    args = parser.parse_args()
    IDLE_SECONDS = args.idle_seconds
    rounds = max(1, args.rounds)

    programs = {"tikora": os.path.realpath(args.program), "floor": os.path.realpath(args.floor)}
    log = lambda text: print(text, flush=True)
    n = f"median of {rounds} rounds, range"
    figures = {
        "start": (f"start: exec to icon docked in the tray ({n})", "<= 1.25x the floor"),
        "Rss": (f"memory: resident (Rss) {MEMORY_AFTER:.0f} s after start ({n})",
                "<= 1.15x the floor and < 30 MiB"),
        "Anonymous": (f"memory: anonymous {MEMORY_AFTER:.0f} s after start ({n})",
                      "<= 1.3x the floor"),
        "Pss": (f"memory: proportional (Pss) {MEMORY_AFTER:.0f} s after start ({n})", "none"),
        "idle_ms": (f"idle CPU: {IDLE_SECONDS:.0f} s, no alarm due, all threads ({n})",
                    "<= 1.5x the floor"),
        "growth": (f"Rss growth from {ALARMS_AT_ONCE} to {args.cycles} alarms fired and "
                   f"acknowledged ({n})", "<= 0.5 MiB"),
    }
    rows = []

    def not_measured(key, reason):
        figure, target = figures[key]
        rows.append("\t".join([figure, f"not measured: {reason}", "-", "-", target, "-"]))

    missing = [tool for tool in ("Xvfb", "trayer", "ldd", "setpriv") if not shutil.which(tool)]
    if missing:
        for key in figures:
            not_measured(key, "missing " + ", ".join(missing))
    else:
        user = User(args.user)
        log(f"the programs run as {user.name} (uid {user.uid}, home {user.home}); "
            f"time zone {time.tzname[0]}")
        libs = {name: libraries(path) for name, path in programs.items()}
        log(f"libraries (ldd): tikora {len(libs['tikora'])}, floor {len(libs['floor'])}; "
            f"only tikora: {' '.join(sorted(set(libs['tikora']) - set(libs['floor']))) or '-'}")
        data = data_file_bytes(datetime.date.today())
        root = tempfile.mkdtemp(prefix="tikora-wholeprogram.")
        os.chmod(root, 0o755)
        log(f"load average before: {open('/proc/loadavg').read().split()[:3]}")
        try:
            results = []
            try:
                measure_round(root, programs, data, user, -1, False, log)
                for i in range(rounds):
                    results.append(measure_round(root, programs, data, user, i, True, log))
                mib = lambda kb: f"{kb / 1024:.1f} MiB"
                shows = {"start": lambda s: f"{s * 1000:.0f} ms", "Rss": mib, "Anonymous": mib,
                         "Pss": mib, "idle_ms": lambda ms: f"{ms:.1f} ms"}
                limits = {"start": 1.25, "Rss": 1.15, "Anonymous": 1.3, "Pss": None,
                          "idle_ms": 1.5}
                for key, show in shows.items():
                    mine = [r["tikora"][key] for r in results]
                    floor = [r["floor"][key] for r in results]
                    ratio = statistics.median(mine) / statistics.median(floor)
                    met = "-" if limits[key] is None else ratio <= limits[key]
                    if key == "Rss":
                        met = met and statistics.median(mine) < 30 * 1024
                    rows.append("\t".join([figures[key][0], spread(mine, show),
                                           spread(floor, show), f"{ratio:.2f}x",
                                           figures[key][1],
                                           met if met == "-" else ("yes" if met else "NO")]))
            except (RuntimeError, OSError, KeyError) as e:
                log(f"rounds: {e}")
                for key in ("start", "Rss", "Anonymous", "Pss", "idle_ms"):
                    not_measured(key, str(e))
            try:
                growth = []
                for i in range(rounds):
                    first, last = measure_growth(root, programs["tikora"], user, args.cycles,
                                                 i, log)
                    growth.append(last - first)
                show = lambda kb: f"{kb / 1024:+.2f} MiB"
                value = statistics.median(growth)
                rows.append("\t".join([figures["growth"][0], spread(growth, show), "-", "-",
                                       figures["growth"][1],
                                       "yes" if value <= 512 else "NO"]))
            except (RuntimeError, OSError, KeyError) as e:
                log(f"growth: {e}")
                not_measured("growth", str(e))
        finally:
            if args.keep:
                log(f"kept: {root}")
            else:
                shutil.rmtree(root, ignore_errors=True)
        log(f"load average after: {open('/proc/loadavg').read().split()[:3]}")
    with open(args.rows, "w") as f:
        f.write("\n".join(rows) + "\n")
    return 0


if __name__ == "__main__":
    sys.exit(main())
