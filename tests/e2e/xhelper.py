#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Small checks for the end-to-end test, with nothing but Python's standard
library (and libX11, through ctypes):

    xhelper.py tray-owned               exit 0 when a notification-area host
                                        owns _NET_SYSTEM_TRAY_S0
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


def tray_owned():
    libx11 = ctypes.CDLL("libX11.so.6")
    libx11.XOpenDisplay.restype = ctypes.c_void_p
    libx11.XOpenDisplay.argtypes = [ctypes.c_char_p]
    libx11.XInternAtom.restype = ctypes.c_ulong
    libx11.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
    libx11.XGetSelectionOwner.restype = ctypes.c_ulong
    libx11.XGetSelectionOwner.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
    libx11.XCloseDisplay.argtypes = [ctypes.c_void_p]
    display = libx11.XOpenDisplay(None)
    if not display:
        return 2
    atom = libx11.XInternAtom(display, b"_NET_SYSTEM_TRAY_S0", 0)
    owner = libx11.XGetSelectionOwner(display, atom)
    libx11.XCloseDisplay(display)
    return 0 if owner else 1


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
