# SPDX-License-Identifier: MIT
"""Tikor.dat as the program writes it (CR LF ended lines), and the checks
the cases make on its bytes. It also runs as a command, another program
rewriting the file while the program under test runs:

    datafile.py rewrite FILE VALID LAST
"""

import difflib
import os
import sys
import time

TODAY = "03/17/09"
NEXT_WEEK = "03/24/09"

BANNER1 = "THIS IS A SELF UPDATING FILE AND WILL CRASH IF TAMPERED WITH."
BANNER2 = "DELETE FILE COMPLETELY IF PROBLEM ARISES."
SOUND_MESSAGE = "#TRUE#,#FALSE#,#FALSE#,#FALSE#"
SOUND_ALERT1 = "#FALSE#,#TRUE#,#FALSE#,#FALSE#"


def lines(*texts):
    return "".join(text + "\r\n" for text in texts).encode()


def header(sounds):
    return lines(f'"{BANNER1}"', f'"{BANNER2}"', sounds)


def entry(date, message, time, daily, weekly, monthly, fired):
    return lines(f'"{date}"', f'"{message}"', f'"{time}"',
                 str(daily), str(weekly), str(monthly), str(fired))


def cleared():
    return entry("", "", "", 0, 0, 0, 1)


def cleared_slots(first, last):
    return cleared() * (last - first + 1)


def first_start_file():
    """The 227 lines of a cleared table with "Message" chosen."""
    return header(SOUND_MESSAGE) + cleared_slots(0, 31)


def write(path, data):
    with open(path, "wb") as f:
        f.write(data)


def read(path):
    """A file's bytes, or None if it cannot be read."""
    try:
        with open(path, "rb") as f:
            return f.read()
    except OSError:
        return None


def same_bytes(a, b):
    first, second = read(a), read(b)
    return first is not None and first == second


def file_equals(expected, path):
    return os.path.isfile(path) and same_bytes(expected, path)


def file_changed(original, path, bad):
    """Whether the data file differs from ORIGINAL, or a bad copy exists."""
    return not same_bytes(original, path) or os.path.exists(bad)


def line_of(path, number):
    """Line NUMBER (from 1) of a file without its line end; empty if the
    file has no such line."""
    data = read(path) or b""
    all_lines = data.split(b"\n")
    if number > len(all_lines) or (number == len(all_lines) and not all_lines[-1]):
        return ""
    return all_lines[number - 1].replace(b"\r", b"").decode(errors="replace")


def fired_flag_is(path, slot, value):
    return os.path.isfile(path) and line_of(path, 10 + 7 * slot) == str(value)


def date_is(path, slot, text):
    """Whether a slot's date in the data file is TEXT (quoted there)."""
    return line_of(path, 4 + 7 * slot) == f'"{text}"'


def recorded_alerts(path):
    """The alerts recorded as open (the record's "slot" lines)."""
    data = read(path)
    if data is None:
        return 0
    return sum(1 for line in data.split(b"\n") if b'"slot"' in line)


def identity(path):
    """What changes when a file is written or replaced."""
    st = os.stat(path)
    return (st.st_ino, st.st_size, st.st_mtime_ns)


def inode(path):
    try:
        return os.stat(path).st_ino
    except OSError:
        return None


def show_difference(expected, path):
    def text(name):
        return (read(name) or b"").replace(b"\r", b"").decode(errors="replace").splitlines()
    return "\n".join(list(difflib.unified_diff(text(expected), text(path), "expected", path,
                                               lineterm=""))[:20])


def rewrite_as_another_program(path, valid, last, times=20):
    """Rewrites PATH TIMES times, one every 300 ms, with the bytes of VALID
    and at the end those of LAST: in place (emptied, then written in two
    writes 2 ms apart) and, every other time, by deleting it and writing
    it anew."""
    valid, last = read(valid), read(last)
    for i in range(times):
        data = last if i == times - 1 else valid
        if i % 2:
            os.remove(path)
        fd = os.open(path, os.O_WRONLY | os.O_CREAT | os.O_TRUNC, 0o600)
        os.write(fd, data[:len(data) // 2])
        time.sleep(0.002)
        os.write(fd, data[len(data) // 2:])
        os.close(fd)
        time.sleep(0.3)


if __name__ == "__main__":
    if sys.argv[1:2] != ["rewrite"] or len(sys.argv) != 5:
        sys.exit(__doc__)
    rewrite_as_another_program(*sys.argv[2:5])
