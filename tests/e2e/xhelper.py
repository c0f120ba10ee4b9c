#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Small checks for the end-to-end test, with nothing but Python's standard
library (and libX11, through ctypes):

    xhelper.py tray-owned               exit 0 when a notification-area host
                                        owns _NET_SYSTEM_TRAY_S0
    xhelper.py wm-running               exit 0 when a window manager has said
                                        so on the root window
    xhelper.py managed                  print the ids of the windows the
                                        window manager manages, bottom first
                                        (_NET_CLIENT_LIST_STACKING)
    xhelper.py above A B                exit 0 when window A is in front of
                                        window B, both by the window manager's
                                        stacking list and by the X server's
                                        order of their frames
    xhelper.py close WINDOW             ask the window to close, as its
                                        title bar's close box does
                                        (WM_DELETE_WINDOW)
    xhelper.py pixels COLOUR X Y W H    count the red or green pixels of the
                                        xwd dump on stdin in that rectangle
    xhelper.py png OUT                  write the xwd dump on stdin as a PNG
                                        (to look at a failure)
    xhelper.py watch-opens FOLDER       print "ready", then the name of every
                                        file opened in FOLDER, until killed
    xhelper.py desktop-exec FILE        print the arguments of the desktop
                                        entry's Exec line, each ended by NUL
"""

import ctypes
import os
import struct
import sys
import zlib


class X:
    """The few libX11 calls the checks need, on the display of $DISPLAY."""

    def __init__(self):
        lib = ctypes.CDLL("libX11.so.6")
        p, ul, c_int = ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int
        lib.XOpenDisplay.restype = p
        lib.XOpenDisplay.argtypes = [ctypes.c_char_p]
        lib.XDefaultRootWindow.restype = ul
        lib.XDefaultRootWindow.argtypes = [p]
        lib.XInternAtom.restype = ul
        lib.XInternAtom.argtypes = [p, ctypes.c_char_p, c_int]
        lib.XGetSelectionOwner.restype = ul
        lib.XGetSelectionOwner.argtypes = [p, ul]
        lib.XGetWindowProperty.argtypes = [
            p, ul, ul, ctypes.c_long, ctypes.c_long, c_int, ul, ctypes.POINTER(ul),
            ctypes.POINTER(c_int), ctypes.POINTER(ul), ctypes.POINTER(ul),
            ctypes.POINTER(ctypes.c_void_p)]
        lib.XQueryTree.argtypes = [
            p, ul, ctypes.POINTER(ul), ctypes.POINTER(ul), ctypes.POINTER(ctypes.c_void_p),
            ctypes.POINTER(ctypes.c_uint)]
        lib.XSendEvent.argtypes = [p, ul, c_int, ctypes.c_long, p]
        lib.XFlush.argtypes = [p]
        lib.XFree.argtypes = [p]
        lib.XCloseDisplay.argtypes = [p]
        self.lib = lib
        self.display = lib.XOpenDisplay(None)
        if not self.display:
            raise OSError("cannot open the display")
        self.root = lib.XDefaultRootWindow(self.display)

    def close(self):
        self.lib.XCloseDisplay(self.display)

    def atom(self, name):
        return self.lib.XInternAtom(self.display, name.encode(), 0)

    def owner(self, selection):
        return self.lib.XGetSelectionOwner(self.display, self.atom(selection))

    def windows(self, window, name):
        """A property holding window ids (format 32), as a list."""
        kind, fmt = ctypes.c_ulong(), ctypes.c_int()
        count, after = ctypes.c_ulong(), ctypes.c_ulong()
        data = ctypes.c_void_p()
        XA_WINDOW = 33
        status = self.lib.XGetWindowProperty(
            self.display, window, self.atom(name), 0, 4096, 0, XA_WINDOW,
            ctypes.byref(kind), ctypes.byref(fmt), ctypes.byref(count), ctypes.byref(after),
            ctypes.byref(data))
        if status != 0 or not data.value:
            return []
        # Format 32 comes back as C longs.
        ids = list((ctypes.c_ulong * count.value).from_address(data.value)) if fmt.value == 32 else []
        self.lib.XFree(data)
        return ids

    def tree(self, window):
        """(parent, children bottom first) of a window."""
        root, parent = ctypes.c_ulong(), ctypes.c_ulong()
        children, count = ctypes.c_void_p(), ctypes.c_uint()
        if not self.lib.XQueryTree(self.display, window, ctypes.byref(root), ctypes.byref(parent),
                                   ctypes.byref(children), ctypes.byref(count)):
            return None, []
        kids = list((ctypes.c_ulong * count.value).from_address(children.value)) if count.value else []
        if children.value:
            self.lib.XFree(children)
        return parent.value, kids

    def frame(self, window):
        """The window's ancestor that is a child of the root: its frame
        under a window manager, else the window itself."""
        while True:
            parent, _ = self.tree(window)
            if parent is None:
                return None
            if parent == self.root:
                return window
            window = parent


class XClientMessageEvent(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
                ("display", ctypes.c_void_p), ("window", ctypes.c_ulong),
                ("message_type", ctypes.c_ulong), ("format", ctypes.c_int),
                ("data", ctypes.c_long * 5), ("pad", ctypes.c_long * 12)]  # an XEvent's size


def close(window):
    """What a close box does: a WM_PROTOCOLS message naming
    WM_DELETE_WINDOW, sent to the window itself."""
    x = X()
    ClientMessage = 33
    event = XClientMessageEvent(type=ClientMessage, send_event=1, window=window,
                                message_type=x.atom("WM_PROTOCOLS"), format=32)
    event.data[0] = x.atom("WM_DELETE_WINDOW")
    event.data[1] = 0  # CurrentTime
    sent = x.lib.XSendEvent(x.display, window, 0, 0, ctypes.byref(event))
    x.lib.XFlush(x.display)
    x.close()
    return 0 if sent else 1


def tray_owned():
    try:
        x = X()
    except OSError:
        return 2
    owner = x.owner("_NET_SYSTEM_TRAY_S0")
    x.close()
    return 0 if owner else 1


def wm_running():
    try:
        x = X()
    except OSError:
        return 2
    check = x.windows(x.root, "_NET_SUPPORTING_WM_CHECK")
    # The check window names itself once the manager is up.
    running = bool(check) and x.windows(check[0], "_NET_SUPPORTING_WM_CHECK") == check[:1]
    x.close()
    return 0 if running else 1


def managed():
    x = X()
    for window in x.windows(x.root, "_NET_CLIENT_LIST_STACKING"):
        print(window)
    x.close()
    return 0


def above(upper, lower):
    x = X()
    stacking = x.windows(x.root, "_NET_CLIENT_LIST_STACKING")
    by_manager = (upper in stacking and lower in stacking
                  and stacking.index(upper) > stacking.index(lower))
    _, order = x.tree(x.root)
    frames = [x.frame(upper), x.frame(lower)]
    by_server = (None not in frames and frames[0] != frames[1]
                 and order.index(frames[0]) > order.index(frames[1]))
    x.close()
    return 0 if by_manager and by_server else 1


def read_xwd(data):
    """The pixels of an xwd dump (ZPixmap, TrueColor) as rows of (r, g, b)."""
    fields = struct.unpack(">25I", data[:100])
    header_size, version, pixmap_format = fields[0], fields[1], fields[2]
    width, height = fields[4], fields[5]
    byte_order, bits_per_pixel, bytes_per_line = fields[7], fields[11], fields[12]
    masks = fields[14:17]
    ncolors = fields[19]
    if version != 7 or pixmap_format != 2 or bits_per_pixel not in (24, 32):
        raise ValueError("unsupported xwd dump")
    offset = header_size + 12 * ncolors
    step = bits_per_pixel // 8
    order = "little" if byte_order == 0 else "big"

    def channel(value, mask):
        shift = (mask & -mask).bit_length() - 1
        top = mask >> shift
        return ((value & mask) >> shift) * 255 // top

    rows = []
    for y in range(height):
        line = data[offset + y * bytes_per_line: offset + (y + 1) * bytes_per_line]
        row = []
        for x in range(width):
            value = int.from_bytes(line[x * step:(x + 1) * step], order)
            row.append(tuple(channel(value, m) for m in masks))
        rows.append(row)
    return rows


COLOURS = {
    "red": lambda r, g, b: r >= 128 and g <= 64 and b <= 64,
    "green": lambda r, g, b: g >= 128 and r <= 64 and b <= 64,
}


def pixels(colour, x, y, w, h):
    wanted = COLOURS[colour]
    rows = read_xwd(sys.stdin.buffer.read())
    count = 0
    for row in rows[max(y, 0):y + h]:
        for r, g, b in row[max(x, 0):x + w]:
            if wanted(r, g, b):
                count += 1
    print(count)
    return 0


IN_OPEN = 0x20


def watch_opens(folder):
    libc = ctypes.CDLL(None, use_errno=True)
    fd = libc.inotify_init1(0)
    if fd < 0 or libc.inotify_add_watch(fd, folder.encode(), IN_OPEN) < 0:
        print("cannot watch", folder, file=sys.stderr)
        return 2
    print("ready", flush=True)
    while True:
        data = os.read(fd, 65536)
        at = 0
        while at < len(data):
            _, _, _, length = struct.unpack_from("iIII", data, at)
            name = data[at + 16:at + 16 + length].rstrip(b"\0").decode(errors="replace")
            print(name, flush=True)
            at += 16 + length


def png(out):
    rows = read_xwd(sys.stdin.buffer.read())
    raw = b"".join(b"\0" + bytes(c for px in row for c in px) for row in rows)

    def chunk(kind, body):
        return (struct.pack(">I", len(body)) + kind + body
                + struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF))

    with open(out, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n")
        f.write(chunk(b"IHDR", struct.pack(">IIBBBBB", len(rows[0]), len(rows), 8, 2, 0, 0, 0)))
        f.write(chunk(b"IDAT", zlib.compress(raw)))
        f.write(chunk(b"IEND", b""))
    return 0


def desktop_exec(path):
    """The Exec key's arguments, unquoted as a desktop launches them: the
    string escapes first, then the double-quoted arguments, in which a
    backslash takes the next ", `, $ or \\ literally."""
    with open(path, encoding="utf-8") as f:
        value = next(line[5:].rstrip("\n") for line in f if line.startswith("Exec="))
    escapes = {"s": " ", "n": "\n", "t": "\t", "r": "\r", "\\": "\\"}
    text, at = "", 0
    while at < len(value):
        if value[at] == "\\" and value[at + 1:at + 2] in escapes:
            text += escapes[value[at + 1]]
            at += 2
        else:
            text += value[at]
            at += 1
    args, word, started, quoted, at = [], "", False, False, 0
    while at < len(text):
        c = text[at]
        if quoted and c == "\\" and text[at + 1:at + 2] in ('"', "`", "$", "\\"):
            word += text[at + 1]
            at += 1
        elif c == '"':
            quoted, started = not quoted, True
        elif c == " " and not quoted:
            if started:
                args.append(word)
            word, started = "", False
        else:
            word, started = word + c, True
        at += 1
    if quoted:
        print("unterminated quote in Exec", file=sys.stderr)
        return 1
    if started:
        args.append(word)
    sys.stdout.write("".join(arg + "\0" for arg in args))
    return 0


def main(argv):
    if argv[1:2] == ["tray-owned"]:
        return tray_owned()
    if argv[1:2] == ["wm-running"]:
        return wm_running()
    if argv[1:2] == ["managed"]:
        return managed()
    if argv[1:2] == ["above"] and len(argv) == 4:
        return above(int(argv[2], 0), int(argv[3], 0))
    if argv[1:2] == ["close"] and len(argv) == 3:
        return close(int(argv[2], 0))
    if argv[1:2] == ["pixels"] and len(argv) == 7 and argv[2] in COLOURS:
        return pixels(argv[2], *map(int, argv[3:7]))
    if argv[1:2] == ["watch-opens"] and len(argv) == 3:
        return watch_opens(argv[2])
    if argv[1:2] == ["png"] and len(argv) == 3:
        return png(argv[2])
    if argv[1:2] == ["desktop-exec"] and len(argv) == 3:
        return desktop_exec(argv[2])
    print(__doc__, file=sys.stderr)
    return 2


if __name__ == "__main__":
    sys.exit(main(sys.argv))
