#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""The whole-program figures of Tikora against its floor program, measured
from outside, in one run and in the same conditions:

    wholeprogram.py --program build-bench/tikora \\
                    --floor build-bench/bench/tikora_floor --rows ROWS [--starts 5]

Every launch is of a fresh process in its own temporary folder holding the
same full Tikor.dat (227 lines, 32 armed entries dated decades ahead, so no
alarm is due and nothing is saved), under its own fresh Xvfb with trayer as
the notification-area host, started and holding the tray before the program.

- start: from just before the exec to the moment the program's icon window
  (a window whose _NET_WM_PID is the program's) is viewable inside trayer;
  the window tree under trayer is polled every 5 ms through libX11 from this
  process (no helper processes started while the program starts). After
  one launch of each that is not counted, the two programs alternate
  (ABBA ...); the median of each is reported.
- memory: 10 s after the launch, Rss and Pss of /proc/PID/smaps_rollup.
- idle CPU: the CPU time used from the memory reading to 60 s later, by
  every thread: the scheduler's count (/proc/PID/task/*/schedstat, in ns),
  and utime + stime of /proc/PID/stat beside it. The latter come in whole
  clock ticks (10 ms) and the figure is only 10 to 20 ms, so the ratio is
  of the former, which is the count those ticks are worked out from. The
  two programs idle at the same time, each under its own X server, so
  whatever else the machine does falls on both alike. Afterwards the data
  file must be unchanged, the program still running and its threads the
  same.

The table rows (figure, value, floor, ratio, target, met?; tab-separated) go
to ROWS; each single reading is printed on stdout. A figure that could not
be measured says so, with the reason, instead of a number.
"""

import argparse
import ctypes
import datetime
import os
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
IDLE_SECONDS = 60.0
CLOCK_TICKS = os.sysconf("SC_CLK_TCK")

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
        self.pids = {}  # window -> _NET_WM_PID (0 for none); ids are not reused soon

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
        self.pids[window] = pid
        return pid

    def viewable(self, window):
        attributes = XWindowAttributes()
        if not _x11.XGetWindowAttributes(self.handle, window, ctypes.byref(attributes)):
            return False
        return attributes.map_state == IS_VIEWABLE

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


def data_file_bytes(today):
    """A full Tikor.dat as the program writes it: 32 armed entries dated
    about 40 years ahead (inside the two-digit year window), none due."""
    messages = ["Team meeting, room 4", "Call the garage about the car",
                "Pay the rent \u20ac 850", "Caf\u00e9 with Jos\u00e9",
                "Dentist at 10:15, bring the card"]
    lines = ['"THIS IS A SELF UPDATING FILE AND WILL CRASH IF TAMPERED WITH."',
             '"DELETE FILE COMPLETELY IF PROBLEM ARISES."',
             "#FALSE#,#TRUE#,#FALSE#,#FALSE#"]
    first = datetime.date(today.year + 40, 1, 1)
    for slot in range(32):
        day = first + datetime.timedelta(days=5 * slot)
        lines += [f'"{day:%m/%d/%y}"', f'"{messages[slot % len(messages)]}"',
                  f'"{slot % 24:02d}:{slot * 7 % 60:02d}:00"',
                  str(int(slot % 4 == 1)), str(int(slot % 4 == 2)), str(int(slot % 4 == 3)),
                  "0"]
    assert len(lines) == 227
    return ("\r\n".join(lines) + "\r\n").encode("cp1252")


# ------------------------------------------------------------------- a run


class Session:
    """One fresh X server with trayer holding the tray, one temporary folder
    with the data file, and then one program started in it."""

    def __init__(self, root, name, data):
        self.dir = tempfile.mkdtemp(prefix=f"{name}.", dir=root)
        self.work = os.path.join(self.dir, "work")
        os.mkdir(self.work)
        self.runtime = os.path.join(self.dir, "runtime")
        os.mkdir(self.runtime, 0o700)
        self.data_path = os.path.join(self.work, "Tikor.dat")
        with open(self.data_path, "wb") as f:
            f.write(data)
        self.xvfb = self.trayer = self.program = None
        self.display = None
        self.hosts = []

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
        env = {k: v for k, v in os.environ.items()
               if k not in ("DBUS_SESSION_BUS_ADDRESS", "XDG_DATA_HOME", "SESSION_MANAGER",
                            "TIKORA_CLOCK")}
        env.update(DISPLAY=self.display_name, QT_QPA_PLATFORM="xcb", TZ="UTC",
                   LC_ALL="C.UTF-8", XDG_RUNTIME_DIR=self.runtime)
        env.update(extra_env or {})
        self.log = open(os.path.join(self.dir, "program.log"), "wb")
        self.started = time.monotonic()
        self.program = subprocess.Popen([program], cwd=self.work, env=env, stdout=self.log,
                                        stderr=self.log, stdin=subprocess.DEVNULL)

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
            if key in ("Rss", "Pss"):
                values[key] = int(rest.split()[0])
    return values["Rss"], values["Pss"]


def cpu_ticks(pid):
    with open(f"/proc/{pid}/stat") as f:
        fields = f.read().rsplit(")", 1)[1].split()
    return int(fields[11]) + int(fields[12])  # utime, stime


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


def measure_starts(root, programs, data, count, log):
    """COUNT launches of each, alternating ABBA..., after one launch of each
    that is not counted (it loads whatever the disk cache lacks)."""
    starts = {name: [] for name in programs}
    order = list(programs)
    for i in range(-1, count):
        for name in (order if i % 2 == 0 else order[::-1]):
            session = Session(root, f"start-{name}-{i}", data)
            try:
                session.start_x()
                session.launch(programs[name])
                seconds = session.wait_docked()
            finally:
                session.close()
            if i < 0:
                log(f"start {name}, not counted: {seconds * 1000:.1f} ms")
                continue
            starts[name].append(seconds)
            log(f"start {name} #{i + 1}: {seconds * 1000:.1f} ms")
    return starts


def measure_idle(root, programs, data, log):
    """Both programs at once, each under its own X server."""
    sessions = {}
    result = {}
    try:
        for name in programs:
            session = Session(root, f"idle-{name}", data)
            sessions[name] = session
            session.start_x()
        for name, session in sessions.items():
            session.launch(programs[name])
            session.wait_docked()
        readings = {}
        for name, session in sessions.items():
            time.sleep(max(0.0, session.started + MEMORY_AFTER - time.monotonic()))
            pid = session.program.pid
            with open(session.data_path, "rb") as f:
                before = f.read()
            readings[name] = (time.monotonic(), cpu_ticks(pid), run_ns(pid), before, threads(pid))
            rss, pss = memory_kb(pid)
            result[name] = {"rss": rss, "pss": pss}
            log(f"memory {name} after {MEMORY_AFTER:.0f} s: Rss {rss} kB, Pss {pss} kB")
        for name, session in sessions.items():
            t0, ticks0, ns0, before, threads0 = readings[name]
            time.sleep(max(0.0, t0 + IDLE_SECONDS - time.monotonic()))
            pid = session.program.pid
            if not alive(pid):
                raise RuntimeError(f"{name} ended during the idle minute")
            ticks, ns, t1 = cpu_ticks(pid) - ticks0, run_ns(pid) - ns0, time.monotonic()
            if threads(pid) != threads0:
                raise RuntimeError(f"the threads of {name} changed during the idle minute")
            with open(session.data_path, "rb") as f:
                if f.read() != before:
                    raise RuntimeError(f"{name} wrote Tikor.dat during the idle minute")
            result[name]["cpu_ms"] = ticks * 1000.0 / CLOCK_TICKS
            result[name]["sched_ms"] = ns / 1e6
            log(f"idle CPU {name} over {t1 - t0:.1f} s: utime+stime {ticks * 1000 // CLOCK_TICKS} ms"
                f" (scheduler, all threads: {ns / 1e6:.1f} ms)")
    finally:
        for session in sessions.values():
            session.close()
    return result


def row(figure, value, floor, target, show):
    ratio = value / floor if floor else float("inf")
    return "\t".join([figure, show(value), show(floor), f"{ratio:.2f}x",
                      f"<= {target}x the floor", "yes" if ratio <= target else "NO"])


def not_measured(figure, target, reason):
    return "\t".join([figure, f"not measured: {reason}", "-", "-", f"<= {target}x the floor", "-"])


def main():
    global IDLE_SECONDS
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--program", required=True)
    parser.add_argument("--floor", required=True)
    parser.add_argument("--rows", required=True, help="file the table rows are written to")
    parser.add_argument("--starts", type=int, default=5, help="launches of each for the start")
    parser.add_argument("--keep", action="store_true", help="keep the temporary folders")
    parser.add_argument("--idle-seconds", type=float, default=IDLE_SECONDS,
                        help="length of the idle CPU window (a shorter one only to try the script)")
    args = parser.parse_args()
    IDLE_SECONDS = args.idle_seconds

    programs = {"tikora": os.path.realpath(args.program), "floor": os.path.realpath(args.floor)}
    log = lambda text: print(text, flush=True)
    start_figure = f"start: exec to icon docked in the tray (median of {args.starts})"
    rss_figure = f"memory: resident (Rss) {MEMORY_AFTER:.0f} s after start"
    pss_figure = f"memory: proportional (Pss) {MEMORY_AFTER:.0f} s after start"
    cpu_figure = f"idle CPU: {IDLE_SECONDS:.0f} s, no alarm due (scheduler, all threads)"
    rows = []

    missing = [tool for tool in ("Xvfb", "trayer", "ldd") if not shutil.which(tool)]
    if missing:
        reason = "missing " + ", ".join(missing)
        rows = [not_measured(start_figure, 1.5, reason), not_measured(rss_figure, 1.2, reason),
                not_measured(pss_figure, 1.2, reason), not_measured(cpu_figure, 1.5, reason)]
    else:
        libs = {name: libraries(path) for name, path in programs.items()}
        if libs["tikora"] != libs["floor"]:
            log("WARNING: the two programs load different libraries:")
            log("  only tikora: " + " ".join(sorted(set(libs["tikora"]) - set(libs["floor"]))))
            log("  only floor: " + " ".join(sorted(set(libs["floor"]) - set(libs["tikora"]))))
        else:
            log(f"libraries: the same {len(libs['tikora'])} for both (ldd)")
        data = data_file_bytes(datetime.date.today())
        root = tempfile.mkdtemp(prefix="tikora-wholeprogram.")
        log(f"load average before: {open('/proc/loadavg').read().split()[:3]}")
        try:
            try:
                starts = measure_starts(root, programs, data, args.starts, log)
                medians = {n: statistics.median(v) for n, v in starts.items()}
                rows.append(row(start_figure, medians["tikora"], medians["floor"], 1.5,
                                lambda s: f"{s * 1000:.0f} ms"))
            except (RuntimeError, OSError) as e:
                log(f"start: {e}")
                rows.append(not_measured(start_figure, 1.5, str(e)))
            try:
                idle = measure_idle(root, programs, data, log)
                kb = lambda v: f"{v / 1024:.1f} MiB"
                rows.append(row(rss_figure, idle["tikora"]["rss"], idle["floor"]["rss"], 1.2, kb))
                rows.append(row(pss_figure, idle["tikora"]["pss"], idle["floor"]["pss"], 1.2, kb))
                # utime+stime come in whole clock ticks (10 ms), as coarse as
                # the figure itself; the ratio is of the scheduler's own count
                # of the same time (the one those ticks are worked out from).
                cpu = lambda name: (f"{idle[name]['sched_ms']:.1f} ms "
                                    f"(utime+stime {idle[name]['cpu_ms']:.0f} ms)")
                rows.append("\t".join([
                    cpu_figure, cpu("tikora"), cpu("floor"),
                    f"{idle['tikora']['sched_ms'] / idle['floor']['sched_ms']:.2f}x",
                    "<= 1.5x the floor",
                    "yes" if idle["tikora"]["sched_ms"] <= 1.5 * idle["floor"]["sched_ms"] else "NO"]))
            except (RuntimeError, OSError, KeyError) as e:
                log(f"memory and idle CPU: {e}")
                for figure, target in ((rss_figure, 1.2), (pss_figure, 1.2), (cpu_figure, 1.5)):
                    rows.append(not_measured(figure, target, str(e)))
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
