# SPDX-License-Identifier: MIT
"""The installed program, as the desktop starts it."""

import fnmatch
import os
import re
import subprocess

import xhelper
from datafile import (SOUND_ALERT1, TODAY, cleared_slots, entry, fired_flag_is,
                      first_start_file, header, read, same_bytes, write)
from processes import check, fail, wait_for
from windows import alert_window_opened, window_classes

INSTALLED = ["share/applications/org.example.Tikora.desktop",
             "etc/xdg/autostart/org.example.Tikora.desktop",
             "share/icons/hicolor/scalable/apps/org.example.Tikora.svg",
             "share/metainfo/org.example.Tikora.metainfo.xml", "share/man/man1/tikora.1.gz",
             "share/doc/tikora/copyright",
             "share/tikora/sounds/checkmsgs.wav", "share/tikora/sounds/Alert.wav",
             "share/tikora/sounds/Keytry.wav", "share/tikora/sounds/Keyhaw.wav"]


def non_empty(path):
    try:
        return os.path.getsize(path) > 0
    except OSError:
        return False


def maps_of(pid):
    """The files mapped into a process, as /proc shows them."""
    return (read(f"/proc/{pid}/maps") or b"").decode(errors="replace")


def find_plugin(prefix):
    """The sound plugin, in the library folder's tikora/ (lib/ or lib/<arch>/)."""
    for folder, _, files in os.walk(prefix):
        for name in files:
            path = os.path.join(folder, name)
            if fnmatch.fnmatch(path, "*/lib*/tikora/tikora-sound.so"):
                return path
    return None


def install(case):
    """cmake --install puts the program, the sounds, the icons, the
    metainfo, the manual page and the desktop entry (also as the login
    entry) in place; the entry's command starts the program in the user's
    data folder, made for it; the installed program, started from any
    folder, plays the installed sounds."""
    prefix = case.path("prefix")
    with open(case.path("install.log"), "wb") as log:
        installed = subprocess.run(["cmake", "--install", case.build_dir, "--prefix", prefix],
                                   stdin=subprocess.DEVNULL, stdout=log, stderr=subprocess.STDOUT)
    if installed.returncode != 0:
        tail = b"".join((read(case.path("install.log")) or b"").splitlines(True)[-5:])
        fail(f"cmake --install failed: {tail.decode(errors='replace')}")
    check("bin/tikora installed and executable",
          os.access(os.path.join(prefix, "bin/tikora"), os.X_OK))
    for path in INSTALLED:
        check(f"{path} installed", non_empty(os.path.join(prefix, path)))
    plugin = find_plugin(prefix)
    check("the sound plugin installed", plugin is not None and non_empty(plugin))
    for size in (16, 22, 24, 32, 48, 64, 128, 256):
        check(f"the {size}px icon installed", non_empty(
            os.path.join(prefix, f"share/icons/hicolor/{size}x{size}/apps/org.example.Tikora.png")))
    desktop = os.path.join(prefix, "share/applications/org.example.Tikora.desktop")
    entry_lines = (read(desktop) or b"").decode(errors="replace").splitlines()
    check("desktop entry names the icon", "Icon=org.example.Tikora" in entry_lines)
    check("desktop entry is an application", "Type=Application" in entry_lines)
    check("the login entry is the menu entry",
          same_bytes(desktop, os.path.join(prefix, "etc/xdg/autostart/org.example.Tikora.desktop")))

    case.start_desktop()

    # The desktop entry's command, found on PATH, with a fresh home and
    # started from an unrelated folder.
    home, elsewhere = case.path("home"), case.path("elsewhere")
    os.makedirs(home)
    os.makedirs(elsewhere)
    command = xhelper.desktop_exec(desktop) or []
    check("desktop entry has a command", len(command) > 0)
    p = case.start_in(elsewhere, "installed", "env", f"HOME={home}",
                      f"PATH={prefix}/bin:{os.environ.get('PATH', '')}", *command)
    folder = os.path.join(home, ".local/share/tikora")
    data = os.path.join(folder, "Tikor.dat")
    wait_for("the data file in the user's data folder", lambda: os.path.isfile(data))
    check("the data folder is the user's alone",
          format(os.stat(folder).st_mode & 0o7777, "o") == "700")
    write(case.path("expected"), first_start_file())
    check("the first-start file", same_bytes(case.path("expected"), data))
    check("runs in the data folder",
          os.path.realpath(f"/proc/{p.pid}/cwd") == os.path.realpath(folder))
    check("runs the installed program",
          os.path.realpath(f"/proc/{p.pid}/exe") == os.path.realpath(f"{prefix}/bin/tikora"))
    maps = maps_of(p.pid)
    check("no sound library loaded before the first sound",
          maps and not re.search(r"libQt6Multimedia|tikora-sound", maps))
    check("nothing written where it was started", not os.listdir(elsewhere))
    case.stop(p)

    # The installed program started directly from another folder, with an
    # entry due and "Alert1" chosen, opens the installed Alert.wav.
    anywhere = case.path("anywhere")
    os.makedirs(anywhere)
    write(os.path.join(anywhere, "Tikor.dat"), header(SOUND_ALERT1)
          + entry(TODAY, "Sound check", "09:29:52", 0, 0, 0, 0) + cleared_slots(1, 31))
    case.start_watch(os.path.join(prefix, "share/tikora/sounds"), "opens.log")
    p = case.start_in(anywhere, "anywhere", os.path.join(prefix, "bin/tikora"))
    wait_for("the entry fired", lambda: fired_flag_is(os.path.join(anywhere, "Tikor.dat"), 0, 1))
    wait_for("the installed Alert.wav opened",
             lambda: "Alert.wav" in (read(case.path("opens.log")) or b"").decode().splitlines())
    check("the installed sound plugin is the one loaded",
          os.path.realpath(plugin) in maps_of(p.pid))

    # Docks and task bars put its windows under the menu entry's icon: the
    # class of the alert window is the entry's StartupWMClass.
    wm_class = "".join(line[len("StartupWMClass="):] for line in entry_lines
                       if line.startswith("StartupWMClass="))
    check("the desktop entry names a window class", wm_class != "")
    window = alert_window_opened(p.pid)
    classes = window_classes(window)
    named = re.fullmatch(r'"[^"]*", "(.*)"', classes)
    check(f"the alert window's class is '{wm_class}' (WM_CLASS: {classes})",
          named is not None and named.group(1) == wm_class)
