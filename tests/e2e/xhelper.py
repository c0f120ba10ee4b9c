#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""What the end-to-end test reads from the X server and from window dumps,
with nothing but Python's standard library (and libX11, through ctypes).
The test imports these functions; two of them also run as commands:

    xhelper.py png OUT                  write the xwd dump on stdin as a PNG
                                        (scripts/screenshots.sh)
    xhelper.py watch-opens FOLDER       print "ready", then the name of every
                                        file opened in FOLDER, until killed
"""

import ctypes
import functools
import os
import struct
import sys
import zlib


_ERROR_HANDLER = ctypes.CFUNCTYPE(ctypes.c_int, ctypes.c_void_p, ctypes.c_void_p)
_ignore_errors = _ERROR_HANDLER(lambda display, event: 0)


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
        lib.XSetErrorHandler.argtypes = [_ERROR_HANDLER]
        # A window that went away between two calls is an answer, not a
        # reason to end the process (Xlib's default handler exits).
        lib.XSetErrorHandler(_ignore_errors)
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


def _on_display(answer_without_one):
    """Runs the function with a connection to $DISPLAY, closed afterwards;
    without one (it cannot be opened) the answer is ANSWER_WITHOUT_ONE."""
    def decorate(function):
        @functools.wraps(function)
        def on_display(*args):
            try:
                x = X()
            except OSError:
                return answer_without_one
            try:
                return function(x, *args)
            finally:
                x.close()
        return on_display
    return decorate


@_on_display(False)
def close(x, window):
    """What a close box does: a WM_PROTOCOLS message naming
    WM_DELETE_WINDOW, sent to the window itself. True when it was sent."""
    ClientMessage = 33
    event = XClientMessageEvent(type=ClientMessage, send_event=1, window=window,
                                message_type=x.atom("WM_PROTOCOLS"), format=32)
    event.data[0] = x.atom("WM_DELETE_WINDOW")
    event.data[1] = 0  # CurrentTime
    sent = x.lib.XSendEvent(x.display, window, 0, 0, ctypes.byref(event))
    x.lib.XFlush(x.display)
    return bool(sent)


@_on_display(False)
def tray_owned(x):
    """Whether a notification-area host owns _NET_SYSTEM_TRAY_S0."""
    return bool(x.owner("_NET_SYSTEM_TRAY_S0"))


@_on_display(False)
def wm_running(x):
    """Whether a window manager has said so on the root window."""
    check = x.windows(x.root, "_NET_SUPPORTING_WM_CHECK")
    # The check window names itself once the manager is up.
    return bool(check) and x.windows(check[0], "_NET_SUPPORTING_WM_CHECK") == check[:1]


@_on_display([])
def managed(x):
    """The ids of the windows the window manager manages, bottom first
    (_NET_CLIENT_LIST_STACKING)."""
    return x.windows(x.root, "_NET_CLIENT_LIST_STACKING")


@_on_display(False)
def above(x, upper, lower):
    """Whether window UPPER is in front of window LOWER, both by the window
    manager's stacking list and by the X server's order of their frames."""
    stacking = x.windows(x.root, "_NET_CLIENT_LIST_STACKING")
    by_manager = (upper in stacking and lower in stacking
                  and stacking.index(upper) > stacking.index(lower))
    _, order = x.tree(x.root)
    frames = [x.frame(upper), x.frame(lower)]
    by_server = (None not in frames and frames[0] != frames[1]
                 and all(f in order for f in frames)
                 and order.index(frames[0]) > order.index(frames[1]))
    return by_manager and by_server


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


def count_pixels(dump, colour, x, y, w, h):
    """How many pixels of the xwd dump (bytes) in that rectangle are red or
    green."""
    wanted = COLOURS[colour]
    count = 0
    for row in read_xwd(dump)[max(y, 0):y + h]:
        for r, g, b in row[max(x, 0):x + w]:
            if wanted(r, g, b):
                count += 1
    return count


def png(dump, out):
    """Writes the xwd dump (bytes) as a PNG file."""
    rows = read_xwd(dump)
    raw = b"".join(b"\0" + bytes(c for px in row for c in px) for row in rows)

    def chunk(kind, body):
        return (struct.pack(">I", len(body)) + kind + body
                + struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF))

    with open(out, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n")
        f.write(chunk(b"IHDR", struct.pack(">IIBBBBB", len(rows[0]), len(rows), 8, 2, 0, 0, 0)))
        f.write(chunk(b"IDAT", zlib.compress(raw)))
        f.write(chunk(b"IEND", b""))


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


def desktop_exec(path):
    """The Exec key's arguments, unquoted as a desktop launches them: the
    string escapes first, then the double-quoted arguments, in which a
    backslash takes the next ", `, $ or \\ literally. None for an
    unterminated quote."""
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
        return None
    if started:
        args.append(word)
    return args


def main(argv):
    if argv[1:2] == ["png"] and len(argv) == 3:
        png(sys.stdin.buffer.read(), argv[2])
        return 0
    if argv[1:2] == ["watch-opens"] and len(argv) == 3:
        return watch_opens(argv[2])
    print(__doc__, file=sys.stderr)
    return 2


if __name__ == "__main__":
    sys.exit(main(sys.argv))
