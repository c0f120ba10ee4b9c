#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""End-to-end test of the real program.

    python3 tests/e2e/run.py PROGRAM BUILD_DIR [CASE...]

Starts PROGRAM (the built tikora) in a fresh temporary directory under its
own Xvfb, with trayer as the notification-area host, libfaketime as the
clock and, where a case says so, openbox as the window manager, and checks
from outside only: the bytes of Tikor.dat and the X windows of the process.
Every wait polls with a generous deadline; nothing depends on how fast the
program is. BUILD_DIR is installed into a temporary prefix by the install
case. With no CASE, every case runs; each prints "PASS name" or "FAIL name"
and, when it fails, its log and the end of each process's output. A
picture of the screen at the failure is kept in the case's directory. Set
TIKORA_E2E_KEEP=1 to keep the temporary directory for a look afterwards.
"""

import os
import shutil
import signal
import sys
import tempfile
import traceback

sys.dont_write_bytecode = True  # nothing written into the source tree

import processes  # noqa: E402
import windows  # noqa: E402
from cases import ALL  # noqa: E402

HERE = os.path.dirname(os.path.abspath(__file__))
TOOLS = ["Xvfb", "trayer", "openbox", "xdotool", "xwininfo", "xprop", "xwd", "setpriv", "prlimit",
         "cmake"]


class Stopped(Exception):
    """The test was asked to stop (SIGTERM, SIGINT or SIGHUP)."""


def on_signal(number, frame):
    raise Stopped()


def preflight(program):
    for tool in TOOLS:
        if shutil.which(tool) is None:
            print(f"missing tool: {tool} (run scripts/setup.sh)")
            return False
    if processes.faketime_library() is None:
        print("missing libfaketime (run scripts/setup.sh)")
        return False
    if not (os.path.isfile(program) and os.access(program, os.X_OK)):
        print(f"no program at {program}")
        return False
    return True


def tail(path, count):
    with open(path, "rb") as f:
        return f.read().decode(errors="replace").splitlines()[-count:]


def where_in_case(failure):
    """The line of the case that made the check that failed."""
    frames = [f for f in traceback.extract_tb(failure.__traceback__)
              if os.sep + "cases" + os.sep in f.filename]
    frame = frames[-1] if frames else traceback.extract_tb(failure.__traceback__)[-1]
    return f"{os.path.relpath(frame.filename, HERE)}:{frame.lineno}: {frame.line}"


def run_case(name, root, program, build_dir):
    """Runs one case; prints PASS or FAIL with what it wrote and the end of
    each log. Whether it passed."""
    output_path = os.path.join(root, name, "output")
    os.makedirs(os.path.dirname(output_path))
    with open(output_path, "w") as output:
        case = processes.Case(name, root, program, build_dir, output)
        passed = False
        try:
            ALL[name](case)
            passed = True
        except processes.CaseFailed as failure:
            output.write(f"failed: {failure}\n")
            output.write(f"at {where_in_case(failure)}\n")
        except Stopped:
            raise
        except Exception:
            output.write(traceback.format_exc())
        finally:
            # After a failure a picture of the screen is kept; then the
            # case's processes are stopped, the last started first.
            try:
                if not passed and "DISPLAY" in os.environ \
                        and windows.save_screen(case.path("screen.png")):
                    output.write(f"screen at the failure: {case.path('screen.png')}"
                                 " (kept with TIKORA_E2E_KEEP=1)\n")
            finally:
                case.stop_all()
                os.environ.pop("DISPLAY", None)
    if passed:
        print(f"PASS {name}", flush=True)
        return True
    print(f"FAIL {name}")
    with open(output_path, errors="replace") as f:
        for line in f.read().splitlines():
            print("    " + line)
    for log in sorted(os.listdir(case.dir)):
        path = case.path(log)
        if not log.endswith(".log") or not os.path.isfile(path) or os.path.getsize(path) == 0:
            continue
        print(f"    --- {log}")
        for line in tail(path, 15):
            print("    " + line)
    sys.stdout.flush()
    return False


def remove_tree(root):
    """Removes the temporary directory, folders the cases made read-only too."""
    def writable_again(function, path, _):
        os.chmod(os.path.dirname(path), 0o700)
        function(path)
    shutil.rmtree(root, onerror=writable_again)


def main(argv):
    if len(argv) < 3:
        print(f"usage: {argv[0]} PROGRAM BUILD_DIR [CASE...]", file=sys.stderr)
        return 2
    program, build_dir = os.path.realpath(argv[1]), os.path.realpath(argv[2])
    names = argv[3:] or list(ALL)
    # Nothing here may touch the desktop this test was started from.
    os.environ.pop("DISPLAY", None)
    for number in (signal.SIGTERM, signal.SIGINT, signal.SIGHUP):
        signal.signal(number, on_signal)
    if not preflight(program):
        return 1
    root = tempfile.mkdtemp(prefix="tikora-e2e.", dir=os.environ.get("TMPDIR") or "/tmp")
    passed = failed = 0
    try:
        for name in names:
            if name not in ALL:
                print(f"FAIL {name} (no such case)")
                failed += 1
            elif run_case(name, root, program, build_dir):
                passed += 1
            else:
                failed += 1
    except Stopped:
        return 143
    finally:
        if os.environ.get("TIKORA_E2E_KEEP"):
            print(f"kept {root}")
        else:
            remove_tree(root)
    print(f"{passed} passed, {failed} failed")
    return 0 if failed == 0 else 1


if __name__ == "__main__":
    sys.exit(main(sys.argv))
