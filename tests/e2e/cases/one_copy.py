# SPDX-License-Identifier: MIT
"""One copy per folder, whatever is done to the lock, and a data folder or
file the program must refuse."""

import os
import shutil

from datafile import first_start_file, identity, same_bytes, write
from processes import STRANGER, VICTIM, alive, as_user, check, fail, wait_for
from windows import (dismiss_failure_box, docked_icons, message_boxes, press_enter_in,
                     the_message_box, toplevel_windows)


def first_copy(case):
    """The first copy on a new file, its icon in the tray, the file's bytes
    kept in "before"; the copy and the file's path."""
    data = os.path.join(case.work, "Tikor.dat")
    case.start_desktop()
    first = case.start_program()
    wait_for("the data file", lambda: os.path.isfile(data))
    wait_for("the icon in the tray", lambda: docked_icons(first.pid))
    shutil.copyfile(data, case.path("before"))
    return first, data


def second_copy(case):
    """A second copy in the same folder says so in one message box and ends
    without touching the file; the first keeps running."""
    first, data = first_copy(case)
    before = identity(data)

    second = case.start_in(case.work, "second")
    wait_for("the second copy's message box", lambda: message_boxes(second.pid))
    box = the_message_box(second.pid)
    check("the second copy has no icon", not docked_icons(second.pid))
    check("no lock file made: the folder itself is locked",
          not os.path.exists(os.path.join(case.work, "Tikor.dat.lock")))

    press_enter_in(box, "the message box")
    case.check_ends(second, 1, "the second copy")
    check("the file untouched", identity(data) == before)
    check("the file's bytes untouched", same_bytes(case.path("before"), data))
    check("the first copy still runs", alive(first.pid))
    check("the first copy's icon still in the tray", docked_icons(first.pid))
    check("the first copy opened no window", not toplevel_windows(first.pid))


def second_copy_refused(case, second, what):
    """A second copy shows one box and no icon; Enter ends it with 1."""
    wait_for(f"the second copy's box ({what})", lambda: message_boxes(second.pid))
    check(f"the second copy has no icon ({what})", not docked_icons(second.pid))
    press_enter_in(the_message_box(second.pid), f"the box ({what})")
    case.check_ends(second, 1, f"the second copy ({what})")


def remove(path):
    if os.path.isdir(path) and not os.path.islink(path):
        shutil.rmtree(path)
    elif os.path.lexists(path):
        os.remove(path)


def one_copy_whatever_the_lock(case):
    """Whatever is done to a lock file, a second copy never runs beside the
    first, and never hangs: the lock file deleted, a named pipe, a folder or
    another user's file in its place. Each second start says "already
    running" in a box and ends with 1, and the file stays as it was."""
    lock = os.path.join(case.work, "Tikor.dat.lock")
    first, data = first_copy(case)
    for attack in ("deleted", "fifo", "folder", "stranger"):
        remove(lock)
        if attack == "fifo":
            os.mkfifo(lock)
        elif attack == "folder":
            os.mkdir(lock)
        elif attack == "stranger":
            with open(lock, "w") as f:
                f.write("1\ntikora\nhost\n")
            try:
                os.chown(lock, STRANGER, STRANGER)
            except PermissionError as error:
                case.say(f"the lock file stays ours: {error}")
        second = case.start_in(case.work, f"second-{attack}")
        second_copy_refused(case, second, f"the lock file {attack}")
    check("the file's bytes untouched", same_bytes(case.path("before"), data))
    check("the first copy still runs", alive(first.pid))


def one_copy_read_only_folder(case):
    """Two copies of an unprivileged user in a folder they may not write
    to, with no XDG_RUNTIME_DIR and the runtime folder Qt would fall back on
    made first by another user: the second says "already running" and ends
    with 1."""
    folder, tmp = case.read_only_folder(first_start_file()), case.path("tmp")
    os.makedirs(os.path.join(tmp, "runtime-nobody"))
    os.chmod(tmp, 0o1777)
    if os.getuid() == 0:
        os.chown(os.path.join(tmp, "runtime-nobody"), STRANGER, STRANGER)
    case.start_desktop()
    # No fake clock: its shared memory belongs to root.
    command = ["env", "-u", "LD_PRELOAD", "-u", "XDG_RUNTIME_DIR", f"TMPDIR={tmp}",
               *as_user(VICTIM), case.program]
    first = case.start_in(folder, "first", *command)
    wait_for("the first copy's icon", lambda: docked_icons(first.pid))
    second = case.start_in(folder, "second", *command)
    second_copy_refused(case, second, "a read-only folder")
    check("the first copy still runs", alive(first.pid))
    check("nothing made in the other user's runtime folder",
          not os.listdir(os.path.join(tmp, "runtime-nobody")))
    os.chmod(folder, 0o755)


def planted_link(case):
    """In a shared sticky folder another user has put a link named Tikor.dat
    to the victim's ~/.bashrc. The victim's copy, started there, says why in
    one box and ends without touching the file or making a lock. Run by
    root, the two users are unprivileged ids."""
    shared, home = case.path("shared"), case.path("home")
    runtime = case.path("victim-runtime")
    case.open_to_other_users()
    for folder in (shared, home, runtime):
        os.makedirs(folder)
    os.chmod(shared, 0o1777)
    os.chmod(runtime, 0o700)
    bashrc = os.path.join(home, ".bashrc")
    write(bashrc, b"export PATH\n")
    shutil.copyfile(bashrc, case.path("before"))
    if os.getuid() == 0:
        for folder in (home, runtime):
            for parent, names, files in os.walk(folder):
                for name in [parent] + [os.path.join(parent, n) for n in names + files]:
                    os.chown(name, VICTIM, VICTIM)
    link = os.path.join(shared, "Tikor.dat")
    if case.run([*as_user(STRANGER), "ln", "-s", bashrc, link]) != 0:
        fail("could not plant the link")
    before = identity(bashrc)

    case.start_desktop()
    # No fake clock: its shared memory belongs to root.
    p = case.start_in(shared, "victim", "env", "-u", "LD_PRELOAD", f"HOME={home}",
                      f"XDG_RUNTIME_DIR={runtime}", *as_user(VICTIM), case.program)
    wait_for("the message box", lambda: message_boxes(p.pid))
    check("no icon in the tray", not docked_icons(p.pid))
    dismiss_failure_box(p.pid)
    case.check_ends(p, 1)
    check(".bashrc untouched", identity(bashrc) == before)
    check(".bashrc's bytes untouched", same_bytes(case.path("before"), bashrc))
    check("the link still there", os.path.islink(link))
    check("nothing written in the shared folder", os.listdir(shared) == ["Tikor.dat"])
    check("nothing written in the runtime folder", not os.listdir(runtime))
