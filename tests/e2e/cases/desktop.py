# SPDX-License-Identifier: MIT
"""What only a real desktop shows: windows in front of each other under a
window manager, the tray menu over each of them, minimised windows that
come back, no notification area, the editor's place, the date picker's
place beside the editor, and Help with or without a viewer."""

import os
import shutil

import xhelper
from datafile import (SOUND_MESSAGE, cleared_slots, date_is, entry, first_start_file, header,
                      inode, same_bytes, show_difference, write)
from processes import alive, check, fail, never_during_quiet_period, wait_for
from windows import (accept_editor, alert_window_opened, alert_windows, asks_no_minimise,
                     check_in_front, check_untitled, choose_from_tray_menu, click_icon, click_in,
                     close_with_escape, dismiss_failure_box, docked_icons, editors, key,
                     message_boxes, minimise, ok, open_about, open_editor, open_picker,
                     open_tray_menu, outer_geometry, pickers, press_enter_in, press_in_tray_menu,
                     restored, the_alert_window, the_message_box, untitled_dialogs, window)


def xdotool(*args):
    return ok("xdotool", *args)


def windows_in_front(case):
    """Under a window manager, with the main alert window shown (it is kept
    on top): About (Ctrl+A in it), the editor opened from the tray, a time
    picker over it and an error box over that each open viewable, on the
    screen and in front of the main alert window and of the window they
    come from. The tray menu opens while each is open, and a key typed in it
    does not reach the editor's focused box; "Set Alarm" over About or the
    picker shows nothing a second time. Exit from the menu over the error
    box ends the program, and the file holds what it held (the unaccepted
    bad time is dropped)."""
    data = os.path.join(case.work, "Tikor.dat")
    write(data, header(SOUND_MESSAGE)
          + entry("03/20/09", "Dentist, bring the card", "08:15:00", 0, 0, 0, 0)
          + cleared_slots(1, 31))
    before = case.path("before")
    shutil.copyfile(data, before)
    written = inode(data)

    case.start_desktop(window_manager=True)
    p = case.start_program()
    pid = p.pid
    wait_for("the icon in the tray", lambda: docked_icons(pid))
    # Start-up's own accept saves; the editor is opened after it.
    wait_for("the start-up save", lambda: inode(data) != written)
    check("start-up saved the entries as they were", same_bytes(before, data))

    click_icon(pid, 1)
    main = alert_window_opened(pid, "the main alert window")

    about = open_about(pid, main)
    check_untitled(about)
    check_in_front(pid, "About", about, main)
    choose_from_tray_menu(pid, "s")
    never_during_quiet_period("the editor opened over About", lambda: len(editors(pid)) == 1)
    check("About still open", len(untitled_dialogs(pid)) == 1)
    close_with_escape(about, "About", lambda: untitled_dialogs(pid))

    editor = open_editor(pid)
    check_in_front(pid, "the editor", editor, main)
    # Keys typed in the menu go to the menu, not to the row's date box that
    # has the focus: Enter then accepts the rows as they were.
    open_tray_menu(pid)
    if not key("x"):
        fail("could not type in the menu")
    press_in_tray_menu(pid, "Escape")
    check("the editor still open", len(editors(pid)) == 1)
    accept_editor(pid, editor)
    check("no error box", not message_boxes(pid))
    check("the rows accepted as they were", same_bytes(before, data))

    editor = open_editor(pid, "the editor again")
    # Row 1's time box: 373, 25 inside the editor.
    picker = open_picker(pid, editor, 373, 25, "time")
    check_untitled(picker)
    check_in_front(pid, "the time picker", picker, main)
    check_in_front(pid, "the time picker", picker, editor)
    choose_from_tray_menu(pid, "s")
    check("one editor after Set Alarm", len(editors(pid)) == 1)
    check("one picker after Set Alarm", len(pickers(pid)) == 1)
    check_in_front(pid, "the time picker after Set Alarm", picker, editor)
    close_with_escape(picker, "the picker", lambda: pickers(pid))

    # A time that cannot be: OK names it in a box.
    if not xdotool("windowfocus", "--sync", str(editor), "key", "--clearmodifiers", "ctrl+a",
                   "type", "99:99:99"):
        fail("could not type in the editor")
    if not key("Return"):
        fail("could not press Enter")
    wait_for("the error box", lambda: message_boxes(pid))
    box = the_message_box(pid)
    check_in_front(pid, "the error box", box, main)
    check_in_front(pid, "the error box", box, editor)

    choose_from_tray_menu(pid, "e")
    case.check_ends(p, 0)
    if not same_bytes(before, data):
        fail(f"the file changed: {show_difference(before, data)}")


def minimised_windows_come_back(case):
    """Under a window manager, which minimises any window whatever it asks
    for: a minimised main alert window comes back, in front and active, from
    a left click on the icon and from "Tikora"; About minimised (the window
    manager takes the main window with it) comes back from "About", and the
    editor from "Set Alarm"."""
    case.start_desktop(window_manager=True)
    pid = case.start_program_settled().pid
    wait_for("the icon in the tray", lambda: docked_icons(pid))

    click_icon(pid, 1)
    main = alert_window_opened(pid, "the main alert window")
    comes_back(pid, "the main alert window", main, "a left click", lambda: click_icon(pid, 1))
    comes_back(pid, "the main alert window", main, "Tikora",
               lambda: choose_from_tray_menu(pid, "t"))

    about = open_about(pid, main)
    comes_back(pid, "About", about, "About", lambda: choose_from_tray_menu(pid, "a"))
    check("one About", len(untitled_dialogs(pid)) == 1)
    close_with_escape(about, "About", lambda: untitled_dialogs(pid))

    editor = open_editor(pid)
    comes_back(pid, "the editor", editor, "Set Alarm", lambda: choose_from_tray_menu(pid, "s"))
    check("one editor", len(editors(pid)) == 1)


def comes_back(pid, name, wid, what, bring_back):
    """A window, active and asking for no minimise button, is minimised and
    comes back, active, from WHAT (BRING_BACK does it)."""
    wait_for(f"{name} active", lambda: restored(pid, wid))
    check(f"{name} asks for no minimise button", asks_no_minimise(wid))
    minimise(pid, wid)
    bring_back()
    wait_for(f"{name} back from {what}", lambda: restored(pid, wid))


def no_tray_window_stays(case):
    """With no notification area (and a window manager), the main alert
    window shown at start is the only way in: Enter acknowledges (the file
    is saved again) but the window stays; its close box ends the program."""
    data = os.path.join(case.work, "Tikor.dat")
    write(data, first_start_file())
    written = inode(data)

    case.start_display()
    case.start_window_manager()
    p = case.start_program()
    pid = p.pid
    wait_for("the main alert window", lambda: alert_windows(pid))
    main = the_alert_window(pid)
    check("no notification area", not xhelper.tray_owned())
    wait_for("the start-up save", lambda: inode(data) != written)
    written = inode(data)

    press_enter_in(main, "the main alert window")
    wait_for("the acknowledgement's save", lambda: inode(data) != written)
    never_during_quiet_period("the main alert window hid with no way back",
                              lambda: window(pid, main) is None)
    check("the program still runs", alive(pid))

    if not xhelper.close(main):
        fail("could not close the main alert window")
    case.check_ends(p, 0)


def editor_keeps_its_place(case):
    """Paged down to rows 20 to 31 with the scroll bar, accepted with Enter
    and opened again, the editor shows the same rows and the keyboard is in
    the first of them: a date typed at once lands in row 20, not in row 0."""
    data = os.path.join(case.work, "Tikor.dat")
    write(data, first_start_file())
    written = inode(data)

    case.start_desktop(window_manager=True)
    pid = case.start_program().pid
    wait_for("the icon in the tray", lambda: docked_icons(pid))
    wait_for("the start-up save", lambda: inode(data) != written)

    editor = open_editor(pid)
    # The scroll bar's trough above its down arrow, 522,9 21x243 inside the
    # editor: each click pages down by 1000 twips, six reach the bottom.
    for _ in range(7):
        if not click_in(editor, 532, 225):
            fail("could not click the scroll bar")
    accept_editor(pid, editor)

    editor = open_editor(pid, "the editor again")
    if not xdotool("windowfocus", "--sync", str(editor), "type", "03/20/09"):
        fail("could not type in the editor")
    if not key("Return"):
        fail("could not press Enter")
    wait_for("the editor to accept and close again", lambda: not editors(pid))
    check("no error box", not message_boxes(pid))
    wait_for("the date typed in row 20", lambda: date_is(data, 20, "03/20/09"))
    check("row 0 untouched", date_is(data, 0, ""))


def help_with_path(case, folder, name):
    """Starts the program with only FOLDER on its PATH, so the desktop's
    opener is whatever FOLDER holds, and chooses Help from the tray menu."""
    p = case.start_in(case.work, name, "env", f"PATH={folder}", case.program)
    wait_for("the icon in the tray", lambda: docked_icons(p.pid))
    choose_from_tray_menu(p.pid, "h")
    return p


def help_cannot_open(case):
    """Help with no program to open the page (none on the PATH, or an opener
    that finds no viewer, as xdg-open does without a browser) says so in a
    box titled Tikora. With an opener that works, it gets the shipped page
    and no box opens."""
    none, failing, working = case.path("none"), case.path("failing"), case.path("working")
    for folder in (none, failing, working):
        os.makedirs(folder)
    scripts = {
        failing: '#!/bin/sh\necho "xdg-open: no method available for opening $1" >&2\nexit 3\n',
        working: f'#!/bin/sh\necho "$1" >"{case.dir}/opened"\n',
    }
    for folder, text in scripts.items():
        with open(os.path.join(folder, "xdg-open"), "w") as f:
            f.write(text)
        os.chmod(os.path.join(folder, "xdg-open"), 0o755)

    case.start_desktop()
    for folder in (none, failing):
        name = os.path.basename(folder)
        p = help_with_path(case, folder, name)
        wait_for(f"the box saying Help could not open ({name})", lambda: message_boxes(p.pid))
        dismiss_failure_box(p.pid)
        case.stop(p)

    p = help_with_path(case, working, "working")
    opened = case.path("opened")
    wait_for("the opener to be given the page",
             lambda: os.path.isfile(opened) and os.path.getsize(opened) > 0)
    with open(opened) as f:
        page = f.read().rstrip("\n")
    try:
        with open(page, errors="replace") as f:
            is_help = "<title>Tikora help</title>" in f.read()
    except OSError:
        is_help = False
    check(f"the page is the help page ({page})", is_help)
    never_during_quiet_period("a box opened though the page opened",
                              lambda: message_boxes(p.pid))


def picker_placed(editor, picker):
    """Whether the date picker sits where it belongs: its outer left edge a
    third of its outer width (rounded) left of the editor's, its top level
    with the editor's."""
    e, pk = outer_geometry(editor), outer_geometry(picker)
    if e is None or pk is None:
        return False
    numerator = 3 * e[0] - pk[2] + 1
    third = abs(numerator) // 3 * (1 if numerator >= 0 else -1)  # rounded toward zero
    return pk[0] == third and pk[1] == e[1]


def date_picker_beside_the_editor(case):
    """Under a window manager, which frames every window: the date picker
    opens over the editor's top left corner by its outer width, not its
    inner one."""
    case.start_desktop(window_manager=True)
    pid = case.start_program_settled().pid
    wait_for("the icon in the tray", lambda: docked_icons(pid))
    editor = open_editor(pid)
    # Row 1's date box: 50, 25 inside the editor.
    picker = open_picker(pid, editor, 50, 25, "date")
    wait_for("the picker framed", lambda: outer_geometry(picker) is not None)

    def shown(wid):
        return " ".join(map(str, outer_geometry(wid) or ()))
    case.say(f"editor: {shown(editor)}; picker: {shown(picker)}")
    wait_for("the date picker beside the editor", lambda: picker_placed(editor, picker))
    never_during_quiet_period("the date picker moved away",
                              lambda: not picker_placed(editor, picker))
