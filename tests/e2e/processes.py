# SPDX-License-Identifier: MIT
"""One case of the end-to-end test: its folder, the processes it starts (the
X server, the tray host, the window manager, the program), and its checks,
which poll with a deadline and end the case at the first that fails."""

import glob
import os
import signal
import subprocess
import sys
import time

import datafile
import xhelper

DEADLINE = 10  # seconds any one expected outcome may take
QUIET_PERIOD = 3  # seconds during which something must not happen
START_TIME = "2009-03-17 09:29:50"
VICTIM = 65534  # the unprivileged user of the cases run by root
STRANGER = 65533  # another unprivileged user

HERE = os.path.dirname(os.path.abspath(__file__))


def faketime_library():
    """libfaketime's preload library, or None."""
    found = sorted(glob.glob("/usr/lib/faketime/libfaketime.so.1")
                   + glob.glob("/usr/lib/*/faketime/libfaketime.so.1"))
    return found[0] if found else None


def forget_fake_clock_of_this_process():
    """Removes the shared clock libfaketime left in /dev/shm for an earlier
    process with this one's number."""
    for name in (f"sem.faketime_sem_{os.getpid()}", f"faketime_shm_{os.getpid()}"):
        try:
            os.unlink(os.path.join("/dev/shm", name))
        except OSError:
            pass


class CaseFailed(Exception):
    """A check failed; the message says which."""


def fail(what):
    raise CaseFailed(what)


def check(what, ok):
    if not ok:
        fail(what)


def wait_for(what, condition):
    """Polls CONDITION until it holds, for at most DEADLINE seconds."""
    end = time.monotonic() + DEADLINE
    while not condition():
        if time.monotonic() >= end:
            fail(f"timed out after {DEADLINE}s waiting for {what}")
        time.sleep(0.1)


def never_during_quiet_period(what, condition):
    """Polls CONDITION for QUIET_PERIOD seconds; it must never hold."""
    end = time.monotonic() + QUIET_PERIOD
    while time.monotonic() < end:
        if condition():
            fail(what)
        time.sleep(0.2)


def alive(pid):
    """Whether a process is still running (a zombie is not)."""
    try:
        with open(f"/proc/{pid}/stat") as f:
            stat = f.read()
    except OSError:
        return False
    # The state follows the command's name in parentheses.
    return not stat[stat.rindex(")") + 2:].startswith("Z")


def ended(pid):
    return not alive(pid)


def as_user(uid):
    """The command prefix that runs a program as the user UID, when run by
    root (otherwise as whoever runs the test)."""
    if os.getuid() != 0:
        return []
    return ["setpriv", f"--reuid={uid}", f"--regid={uid}", "--clear-groups"]


def status_of(process):
    """A reaped process's exit status as a shell reports it (128 + the
    signal for a process that a signal ended)."""
    code = process.returncode
    return 128 - code if code < 0 else code


class Case:
    def __init__(self, name, root, program, build_dir, output):
        self.name = name
        self.root = root
        self.dir = os.path.join(root, name)
        self.work = os.path.join(self.dir, "work")
        self.program = program
        self.build_dir = build_dir
        self.output = output  # the case's log, a text file
        self.processes = []  # stopped in reverse order at the end
        self.xvfb = None
        os.makedirs(self.work)

    def path(self, *names):
        return os.path.join(self.dir, *names)

    def say(self, text):
        print(text, file=self.output, flush=True)

    # ------------------------------------------------------------ processes

    def run(self, command):
        """Runs a command to its end, its output in the case's log; its status."""
        return subprocess.run(command, stdin=subprocess.DEVNULL, stdout=self.output,
                              stderr=subprocess.STDOUT).returncode

    def start(self, command, log, cwd=None, env=None, stdin=subprocess.DEVNULL, stdout=None,
              pass_fds=(), before_exec=None):
        """Starts COMMAND with its output in LOG (a file of the case's folder)
        unless STDOUT is given; it is stopped at the end of the case.
        BEFORE_EXEC runs in the new process before the command."""
        out = stdout
        if out is None:
            out = open(self.path(log), "wb")
        try:
            process = subprocess.Popen(command, cwd=cwd, env=env, stdin=stdin, stdout=out,
                                       stderr=subprocess.STDOUT, pass_fds=pass_fds,
                                       preexec_fn=before_exec)
        finally:
            if stdout is None:
                out.close()
        self.processes.append(process)
        return process

    def stop(self, process, grace=50):
        """Ends one process this case started and reaps it; SIGKILL if it has
        not ended GRACE tenths of a second after SIGTERM."""
        if process.poll() is None:
            try:
                process.send_signal(signal.SIGTERM)
            except ProcessLookupError:
                pass
            for _ in range(grace):
                if ended(process.pid):
                    break
                time.sleep(0.1)
            if alive(process.pid):
                process.kill()
        process.wait()
        self.forget(process)

    def forget(self, process):
        """Drops a reaped process from the list, so that its id, free for
        reuse, is never signalled again."""
        if process in self.processes:
            self.processes.remove(process)

    def stop_all(self):
        while self.processes:
            self.stop(self.processes[-1])

    def end_status(self, process):
        """Reaps a process that has ended and returns its exit status."""
        process.wait()
        self.forget(process)
        return status_of(process)

    def check_ends(self, process, status, what="the program"):
        """Waits for a process to end by itself and checks its exit status."""
        wait_for(f"{what} to end", lambda: ended(process.pid))
        got = self.end_status(process)
        check(f"{what} ends with status {status} (got {got})", got == status)

    # ------------------------------------------------------------ folders

    def open_to_other_users(self):
        """Lets other users through the folders above the case's files."""
        os.chmod(self.root, 0o711)
        os.chmod(self.dir, 0o711)

    def read_only_folder(self, data):
        """The folder "alarms" holding Tikor.dat with DATA, both the
        unprivileged user's (when run by root), who may not create files
        in it; its path."""
        folder = self.path("alarms")
        self.open_to_other_users()
        os.makedirs(folder)
        datafile.write(os.path.join(folder, "Tikor.dat"), data)
        if os.getuid() == 0:
            os.chown(folder, VICTIM, VICTIM)
            os.chown(os.path.join(folder, "Tikor.dat"), VICTIM, VICTIM)
        os.chmod(folder, 0o555)
        return folder

    # ------------------------------------------------------------ the desktop

    def start_display(self):
        """A fresh Xvfb on a free display number; DISPLAY is set for the case."""
        number_file = self.path("display")
        if os.path.exists(number_file):
            os.remove(number_file)
        fd = os.open(number_file, os.O_WRONLY | os.O_CREAT | os.O_TRUNC, 0o644)
        try:
            self.xvfb = self.start(["Xvfb", "-displayfd", str(fd), "-screen", "0", "1024x768x24",
                                    "-nolisten", "tcp", "-noreset"], "xvfb.log", pass_fds=(fd,))
        finally:
            os.close(fd)

        def number():
            with open(number_file) as f:
                first = f.readline().strip()
            return first if first.isdigit() else None
        wait_for("Xvfb to report its display", number)
        os.environ["DISPLAY"] = ":" + number()

    def start_desktop(self, window_manager=False):
        """A display with the tray host, and openbox when asked for."""
        self.start_display()
        # trayer first: openbox adopts its panel when it starts. A panel mapped
        # while openbox is still starting was at times never managed nor shown
        # (about one start in three), and the icon in it never viewable.
        self.start_tray()
        if window_manager:
            self.start_window_manager()

    def start_window_manager(self):
        """openbox as the window manager, up before the program's first window."""
        # Its defaults, not the settings of whoever runs the test.
        with open(self.path("openbox.xml"), "w") as f:
            f.write('<openbox_config xmlns="http://openbox.org/3.4/rc"/>\n')
        self.start(["openbox", "--config-file", self.path("openbox.xml")], "openbox.log")
        wait_for("openbox to manage the screen", xhelper.wm_running)

    def start_tray(self):
        """trayer at the bottom edge, up and holding the notification area
        before the program looks for one."""
        self.start(["trayer", "--edge", "bottom", "--align", "right", "--widthtype", "pixel",
                    "--width", "120", "--heighttype", "pixel", "--height", "24"], "trayer.log")
        wait_for("trayer to take the notification area", xhelper.tray_owned)

    def start_watch(self, folder, log):
        """Watches a folder and writes the name of every file opened in it."""
        self.start([sys.executable, os.path.join(HERE, "xhelper.py"), "watch-opens", folder], log)

        def ready():
            with open(self.path(log)) as f:
                return "ready\n" in f.readlines()
        wait_for("the folder watch", ready)

    # ------------------------------------------------------------ the program

    def start_in(self, folder, name, *command, file_size_limit=None, stdout=None):
        """Starts a command (the program by default) in FOLDER, with the fake
        clock starting at START_TIME; its output goes to NAME.log, or to
        STDOUT. FILE_SIZE_LIMIT (bytes) limits the files it may write."""
        command = list(command) or [self.program]
        before_exec = None
        if file_size_limit is not None:
            # Set by a process of its own that then starts the command, as a
            # shell's ulimit is: the preloaded libfaketime sets up its shared
            # clock (a file in /dev/shm) in the first process it starts in,
            # which hands it on, and that set-up must not meet the limit.
            command = ["prlimit", f"--fsize={file_size_limit}", *command]
            # libfaketime names that clock after the process number and
            # never removes it from a process that went on to another
            # program. Found left by an earlier process with the same
            # number, it is not set up and handed on: the command, under
            # the limit, then sets up its own and dies of SIGXFSZ.
            before_exec = forget_fake_clock_of_this_process
        runtime = self.path("runtime")
        os.makedirs(runtime, exist_ok=True)
        os.chmod(runtime, 0o700)
        env = dict(os.environ)
        env.pop("XDG_DATA_HOME", None)
        # The sanitizer must not insist on coming first: libfaketime is
        # preloaded before it. Monotonic time stays real, or Qt's timers
        # misbehave. No session bus: the icon goes to the X11 tray. A bus
        # address that leads nowhere, not none at all: with none, D-Bus
        # would start a session bus of its own where the machine can
        # (dbus-x11), writing into the runtime folder.
        env.update({
            "DBUS_SESSION_BUS_ADDRESS": "unix:path=" + self.path("no-session-bus"),
            "QT_QPA_PLATFORM": "xcb", "TZ": "UTC", "LC_ALL": "C.UTF-8",
            "XDG_RUNTIME_DIR": runtime,
            "ASAN_OPTIONS": "detect_leaks=0:verify_asan_link_order=0",
            "LD_PRELOAD": faketime_library() or "", "FAKETIME": "@" + START_TIME,
            "FAKETIME_DONT_FAKE_MONOTONIC": "1",
        })
        return self.start(command, name + ".log", cwd=folder, env=env, stdout=stdout,
                          before_exec=before_exec)

    def start_program(self):
        """The program under test, in the case's work folder."""
        return self.start_in(self.work, "tikora")

    def start_program_settled(self):
        """Starts the program on the case's file (an empty table if the case
        wrote none) and waits for the start-up save: an editor opened before
        it would be accepted and closed by the start-up's own accept."""
        data = os.path.join(self.work, "Tikor.dat")
        if not os.path.exists(data):
            datafile.write(data, datafile.first_start_file())
        written = datafile.inode(data)
        process = self.start_program()
        wait_for("the start-up save", lambda: datafile.inode(data) != written)
        return process
