# SPDX-License-Identifier: MIT
"""The program's X windows, read from outside (xdotool, xwininfo, xprop, xwd
and the helper's libX11 calls), and the keys and clicks sent to them.

What the windows look like from outside (facts of Qt on X11, not of ours):
- The icon is a small window of the process docked inside trayer (its
  parent is neither the root window nor a window manager's frame).
- A top-level window is a child of the root window, or, under a window
  manager, one it manages (in _NET_CLIENT_LIST_STACKING). A menu is an
  override-redirect child of the root window.
- The main alert window stays hidden unless the user shows it.
- An alert window opened by an alarm is a visible top-level window of type
  _NET_WM_WINDOW_TYPE_NORMAL, kept above others (_NET_WM_STATE_ABOVE),
  232 pixels wide. It is untitled: both its names, WM_NAME and the
  _NET_WM_NAME window managers prefer, are empty (Qt alone would put the
  program's name in the second).
- A message box is a visible top-level window of type
  _NET_WM_WINDOW_TYPE_DIALOG, kept above others, whose own title (WM_NAME)
  is "Tikora". The editor is a dialog titled with the maker's web address;
  a picker is an untitled _NET_WM_WINDOW_TYPE_UTILITY window.
- The message of an alert window is red text on black in its message
  strip: a dump of the window (xwd) holds red pixels there for a
  non-empty message and none for an empty one.
"""

import re
import subprocess
import time
from typing import NamedTuple

import xhelper
from processes import check, fail, wait_for


def run(*command):
    """A tool's output, or None when it fails."""
    result = subprocess.run(command, stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                            stderr=subprocess.DEVNULL, text=True, errors="replace")
    return result.stdout if result.returncode == 0 else None


def ok(*command):
    """Whether a tool succeeds."""
    return subprocess.run(command, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                          stderr=subprocess.DEVNULL).returncode == 0


def field(text, name):
    """The value of "  NAME: value" in xwininfo's output, or None."""
    found = re.search(r"^ *" + re.escape(name) + r": *(.*)$", text, re.MULTILINE)
    return found.group(1) if found else None


class Window(NamedTuple):
    id: int
    place: str  # "top" (a top-level window), "menu" or "docked"
    width: int
    height: int
    type: str  # "dialog", "utility", "normal" or "other"
    above: bool  # kept above others
    title: str  # WM_NAME, possibly empty, or "(none)" if it has none


def describe_windows(pid):
    """Every visible window of the process."""
    managed = set(xhelper.managed())
    found = []
    for line in (run("xdotool", "search", "--onlyvisible", "--pid", str(pid)) or "").split():
        wid = int(line)
        # A window may go away between the search and these queries.
        info = run("xwininfo", "-children", "-stats", "-id", str(wid))
        if info is None:
            continue
        props = run("xprop", "-id", str(wid), "WM_NAME", "_NET_WM_WINDOW_TYPE", "_NET_WM_STATE")
        if props is None or not re.search(r"Map State: IsViewable", info):
            continue
        place = "docked"
        if re.search(r"Parent window id: .*\(the root window\)", info):
            place = "menu" if re.search(r"Override Redirect State: yes", info) else "top"
        elif wid in managed:
            place = "top"
        kind = "other"
        if re.search(r"_NET_WM_WINDOW_TYPE\(ATOM\) = .*_NET_WM_WINDOW_TYPE_DIALOG", props):
            kind = "dialog"
        elif re.search(r"_NET_WM_WINDOW_TYPE\(ATOM\) = .*_NET_WM_WINDOW_TYPE_UTILITY", props):
            kind = "utility"
        elif re.search(r"^_NET_WM_WINDOW_TYPE\(ATOM\) = _NET_WM_WINDOW_TYPE_NORMAL$", props,
                       re.MULTILINE):
            kind = "normal"
        above = bool(re.search(r"_NET_WM_STATE\(ATOM\) = .*_NET_WM_STATE_ABOVE", props))
        title = "(none)"
        named = re.search(r"^WM_NAME\([^)]*\) = (.*)$", props, re.MULTILINE)
        if named:
            title = named.group(1)
            title = title[1:] if title.startswith('"') else title
            title = title[:-1] if title.endswith('"') else title
        found.append(Window(wid, place, int(field(info, "Width")), int(field(info, "Height")),
                            kind, above, title))
    return found


def listed(windows):
    """The windows as describe_windows's lines, for a failure message."""
    return ";".join(f"{w.id} {w.place} {w.width} {w.height} {w.type} "
                    f"{'above' if w.above else '-'} {w.title}" for w in windows)


# Window ids of one kind.
def alert_windows(pid):
    return [w.id for w in describe_windows(pid)
            if w.place == "top" and w.type == "normal" and w.above]


def message_boxes(pid):
    return [w.id for w in describe_windows(pid)
            if w.place == "top" and w.type == "dialog" and w.title == "Tikora"]


def editors(pid):
    return [w.id for w in describe_windows(pid)
            if w.place == "top" and w.type == "dialog" and w.title == "tikora.example.org"]


def pickers(pid):
    return [w.id for w in describe_windows(pid) if w.place == "top" and w.type == "utility"]


def untitled_dialogs(pid):
    return [w.id for w in describe_windows(pid)
            if w.place == "top" and w.type == "dialog" and not w.title.strip()]


def menus(pid):
    return [w.id for w in describe_windows(pid) if w.place == "menu"]


def toplevel_windows(pid):
    return [w.id for w in describe_windows(pid) if w.place == "top"]


def docked_icons(pid):
    return [w.id for w in describe_windows(pid) if w.place == "docked"]


def window(pid, wid):
    """The window as describe_windows reads it, or None if it is not visible."""
    return next((w for w in describe_windows(pid) if w.id == wid), None)


def all_windows(pid):
    """Every X window of the process, shown or not."""
    return sorted((run("xdotool", "search", "--pid", str(pid)) or "").split())


def the_alert_window(pid):
    """The one alert window of the process (fails unless there is exactly one)."""
    windows = alert_windows(pid)
    if len(windows) != 1:
        fail(f"expected one alert window, found: {listed(describe_windows(pid))}")
    return windows[0]


def alert_window_opened(pid, what="an alert window"):
    """Waits for an alert window, the only one, and checks its look."""
    wait_for(what, lambda: alert_windows(pid))
    wid = the_alert_window(pid)
    check_alert_look(pid, wid)
    return wid


def acknowledge(pid, windows, what="the alert window"):
    """Presses Enter in each of the alert windows; waits until none is left."""
    for wid in windows:
        press_enter_in(wid, f"window {wid}")
    wait_for(f"{what} to go", lambda: not alert_windows(pid))


def xprop_value(wid, name, value):
    """What a window's property NAME holds (the regular expression VALUE's
    group), empty if it is missing."""
    text = run("xprop", "-id", str(wid), "-notype", name) or ""
    found = re.search(f"^{name} = {value}$", text, re.MULTILINE)
    return found.group(1) if found else ""


def net_wm_name(wid):
    """A window's _NET_WM_NAME, empty if it is empty or missing."""
    return xprop_value(wid, "_NET_WM_NAME", '"(.*)"')


def window_classes(wid):
    """A window's WM_CLASS: its instance and class names, quoted."""
    return xprop_value(wid, "WM_CLASS", "(.*)")


def check_untitled(wid):
    """Checks a window is untitled: both its names are empty."""
    name = net_wm_name(wid)
    if name:
        fail(f"window {wid} is named '{name}' for the window manager")


def check_alert_look(pid, wid):
    """Checks the alert window is untitled and as wide as an alert window
    (its height depends on the menu bar's font)."""
    w = window(pid, wid)
    if not (w and w.place == "top" and w.width == 232 and w.type == "normal" and w.above
            and w.title == ""):
        fail("alert window is not a 232-pixel-wide window with an empty title: "
             f"'{listed([w]) if w else ''}'")
    check_untitled(wid)


def check_message_box(pid, wid):
    """Checks a message box is kept above others and titled Tikora."""
    w = window(pid, wid)
    if not (w and w.type == "dialog" and w.above and w.title == "Tikora"):
        fail(f"message box is not titled Tikora: '{listed([w]) if w else ''}'")


def the_message_box(pid):
    """The one message box of the process, checked (fails unless there is
    exactly one)."""
    boxes = message_boxes(pid)
    if len(boxes) != 1:
        fail(f"expected one message box, found '{' '.join(map(str, boxes))}'")
    check_message_box(pid, boxes[0])
    return boxes[0]


def dismiss_failure_box(pid):
    """Checks there is one message box, titled "Tikora", and dismisses it."""
    press_enter_in(the_message_box(pid), "the message box")
    wait_for("the message box to go", lambda: not message_boxes(pid))


def pixels(case, wid, colour, where):
    """Red or green pixels in the alert window's message strip ("strip") or
    in the whole window; None if the window cannot be dumped. The client
    area (232x117) sits at the bottom of the window, under the menu bar;
    the message strip is 6,24 222x13 inside it."""
    info = run("xwininfo", "-id", str(wid))
    dump = subprocess.run(["xwd", "-silent", "-id", str(wid)], stdin=subprocess.DEVNULL,
                          stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
    if info is None or dump.returncode != 0:
        return None
    with open(case.path("window.xwd"), "wb") as f:
        f.write(dump.stdout)
    width, height = int(field(info, "Width")), int(field(info, "Height"))
    try:
        if where == "strip":
            return xhelper.count_pixels(dump.stdout, colour, 6, height - 117 + 24, 222, 13)
        return xhelper.count_pixels(dump.stdout, colour, 0, 0, width, height)
    except (ValueError, IndexError):
        return None


def painted(case, wid):
    """The window has been painted: its green clock labels are there."""
    n = pixels(case, wid, "green", "window")
    return n is not None and n >= 20


def shows_red_message(case, wid):
    n = pixels(case, wid, "red", "strip")
    return n is not None and n >= 20


def save_screen(out):
    """A picture of the whole screen, as PNG; whether it was taken."""
    dump = subprocess.run(["xwd", "-root", "-silent"], stdin=subprocess.DEVNULL,
                          stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
    if dump.returncode != 0:
        return False
    try:
        xhelper.png(dump.stdout, out)
    except (ValueError, IndexError, OSError):
        return False
    return True


# ---------------------------------------------------------------- input

def press_enter(wid):
    """Gives the window the keyboard focus, then presses Enter."""
    return (ok("xdotool", "windowfocus", "--sync", str(wid))
            and ok("xdotool", "key", "--clearmodifiers", "Return"))


def press_enter_in(wid, what):
    if not press_enter(wid):
        fail(f"could not press Enter in {what}")


def keys_in(wid, *keys):
    """Focuses a window and presses keys in it (one xdotool command)."""
    return ok("xdotool", "windowfocus", "--sync", str(wid), "key", "--clearmodifiers", *keys)


def key(name):
    return ok("xdotool", "key", "--clearmodifiers", name)


def geometry(wid):
    """(x, y, width, height) of a window, x and y on the screen; or None."""
    info = run("xwininfo", "-id", str(wid))
    if info is None:
        return None
    return tuple(int(field(info, name)) for name in
                 ("Absolute upper-left X", "Absolute upper-left Y", "Width", "Height"))


def on_screen(wid):
    """Whether a window lies wholly on the 1024x768 screen."""
    g = geometry(wid)
    return g is not None and g[0] >= 0 and g[1] >= 0 and g[0] + g[2] <= 1024 \
        and g[1] + g[3] <= 768


def click_in(wid, x, y, button=1):
    """Clicks a point of a window, given from its top left corner."""
    g = geometry(wid)
    return g is not None and ok("xdotool", "mousemove", str(g[0] + x), str(g[1] + y),
                                "click", str(button))


# Qt takes a press of the same button at the same place within its
# double-click interval (400 ms) for the second half of a double-click, which
# the tray icon ignores for the right button. Two clicks on the icon are two
# clicks, as a person's are: apart by more than that.
DOUBLE_CLICK_INTERVAL = 0.4
_last_icon_click = 0.0


def click_icon(pid, button):
    """Clicks the tray icon with a button (1 left, 3 right)."""
    global _last_icon_click
    icons = docked_icons(pid)
    apart = _last_icon_click + DOUBLE_CLICK_INTERVAL + 0.1 - time.monotonic()
    if apart > 0:
        time.sleep(apart)
    _last_icon_click = time.monotonic()
    g = geometry(icons[0]) if icons else None
    if not (g and click_in(icons[0], g[2] // 2, g[3] // 2, button)):
        fail("could not click the tray icon")


def open_tray_menu(pid):
    """A right click on the icon opens the tray menu, whatever window is open."""
    click_icon(pid, 3)
    wait_for("the tray menu", lambda: len(menus(pid)) == 1)


def press_in_tray_menu(pid, name):
    """Presses a key in the open tray menu; the menu closes."""
    if not key(name):
        fail(f"could not press {name}")
    wait_for("the tray menu to close", lambda: not menus(pid))


def choose_from_tray_menu(pid, name):
    """Opens the tray menu and presses a command's key in it."""
    open_tray_menu(pid)
    press_in_tray_menu(pid, name)


def open_editor(pid, what="the editor"):
    """Opens the editor with "Set Alarm" from the tray menu; its window."""
    choose_from_tray_menu(pid, "s")
    wait_for(what, lambda: len(editors(pid)) == 1)
    return editors(pid)[0]


def accept_editor(pid, editor, what="the editor to accept and close"):
    """Presses Enter in the editor (its OK) and waits for it to close."""
    if not keys_in(editor, "Return"):
        fail("could not press Enter in the editor")
    wait_for(what, lambda: not editors(pid))


def open_picker(pid, editor, x, y, box):
    """Clicks the editor's BOX ("date" or "time") at X, Y; its picker."""
    if not click_in(editor, x, y):
        fail(f"could not click the {box} box")
    wait_for(f"the {box} picker", lambda: len(pickers(pid)) == 1)
    return pickers(pid)[0]


def open_about(pid, main):
    """Opens About with Ctrl+A in the main alert window; its window."""
    if not keys_in(main, "ctrl+a"):
        fail("could not press Ctrl+A in the main alert window")
    wait_for("About", lambda: len(untitled_dialogs(pid)) == 1)
    return untitled_dialogs(pid)[0]


def close_with_escape(wid, what, still_open):
    """Presses Escape in a window and waits until STILL_OPEN no longer holds."""
    if not keys_in(wid, "Escape"):
        fail(f"could not press Escape in {what}")
    wait_for(f"{what} to close", lambda: not still_open())


def check_in_front(pid, what, wid, under):
    """Checks a window of the process is viewable, kept on top, wholly on
    the screen and in front of another window."""
    w = window(pid, wid)
    if w is None:
        fail(f"{what} is not viewable")
    if not (w.place == "top" and w.above):
        fail(f"{what} is not a top-level window kept on top: '{listed([w])}'")
    check(f"{what} lies on the screen", on_screen(wid))
    wait_for(f"{what} in front of window {under}", lambda: xhelper.above(wid, under))


def minimised(wid):
    """Iconic by its WM_STATE, or hidden by the window manager's _NET_WM_STATE."""
    props = run("xprop", "-id", str(wid), "WM_STATE", "_NET_WM_STATE")
    return props is not None and bool(
        re.search(r"window state: Iconic", props)
        or re.search(r"_NET_WM_STATE\(ATOM\) = .*_NET_WM_STATE_HIDDEN", props))


def restored(pid, wid):
    """Viewable, not minimised, and the active window."""
    return (window(pid, wid) is not None and not minimised(wid)
            and (run("xdotool", "getactivewindow") or "").strip() == str(wid))


def asks_no_minimise(wid):
    """Whether a window asks the window manager to offer neither minimising
    nor maximising (_MOTIF_WM_HINTS: its functions given, without
    MWM_FUNC_ALL, MWM_FUNC_MINIMIZE or MWM_FUNC_MAXIMIZE). openbox offers
    to minimise all the same."""
    text = run("xprop", "-id", str(wid), "_MOTIF_WM_HINTS") or ""
    found = re.search(r"^_MOTIF_WM_HINTS\([^)]*\) = (.*)$", text, re.MULTILINE)
    values = re.split(r"[, ]+", found.group(1).strip()) if found else []
    if len(values) < 2:
        return False
    flags, functions = (int(v, 16) if v.startswith("0x") else int(v) for v in values[:2])
    return bool(flags & 1) and not functions & 0x19


def minimise(pid, wid):
    """Minimises a window as its title bar's button would (WM_CHANGE_STATE
    to iconic, which the window manager carries out) and waits until it is."""
    if not ok("xdotool", "windowminimize", str(wid)):
        fail(f"could not minimise window {wid}")
    wait_for(f"window {wid} minimised", lambda: minimised(wid))
    wait_for(f"window {wid} unmapped", lambda: window(pid, wid) is None)


def frame_extents(wid):
    """(left, right, top, bottom) of the window manager's frame, or None."""
    text = run("xprop", "-id", str(wid), "_NET_FRAME_EXTENTS") or ""
    found = re.search(r"^.* = (.*)$", text, re.MULTILINE)
    values = re.split(r"[, ]+", found.group(1).strip()) if found else []
    return tuple(int(v) for v in values[:4]) if len(values) >= 4 else None


def outer_geometry(wid):
    """(left, top, width, height) of a window's frame as the window manager
    draws it, on the screen; or None."""
    g, e = geometry(wid), frame_extents(wid)
    if g is None or e is None:
        return None
    left, right, top, bottom = e
    return (g[0] - left, g[1] - top, g[2] + left + right, g[3] + top + bottom)
