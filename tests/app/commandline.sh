#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The built program's command line, run for real with no display at all:
# --help and --version answer and end with 0, an unknown option ends with 2;
# none of them writes a file in the folder it was started in.
# Usage: commandline.sh PROGRAM
set -uo pipefail

program=$(realpath "$1")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1
failures=0

check()
{
    local what=$1
    shift
    if "$@"; then
        echo "ok   $what"
    else
        echo "FAIL $what"
        failures=$((failures + 1))
    fi
}

# Runs the program with no display; sets STATUS, OUT and ERR.
run()
{
    env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$program" "$@" >"$work/.out" 2>"$work/.err"
    STATUS=$?
    OUT=$(cat "$work/.out")
    ERR=$(cat "$work/.err")
    rm -f "$work/.out" "$work/.err"
}

nothing_written() { [ -z "$(ls -A "$work")" ]; }

run --help
check "--help ends with 0 (got $STATUS)" [ "$STATUS" -eq 0 ]
check "--help names --data-dir" grep -q -- '--data-dir DIR' <<<"$OUT"
check "--help names the variable that turns notifications off" \
    grep -q -- 'TIKORA_NO_NOTIFICATIONS=1' <<<"$OUT"
check "--help writes no file" nothing_written

run --version
check "--version ends with 0 (got $STATUS)" [ "$STATUS" -eq 0 ]
check "--version prints 8.8.0 (got '$OUT')" [ "$OUT" = "Tikora 8.8.0" ]
check "--version writes no file" nothing_written

run --bogus
check "--bogus ends with 2 (got $STATUS)" [ "$STATUS" -eq 2 ]
check "--bogus is named on stderr" grep -q "bogus" <<<"$ERR"
check "--bogus prints nothing on stdout" [ -z "$OUT" ]
check "--bogus writes no file" nothing_written

run --bogus --data-dir made
check "--bogus with --data-dir ends with 2 (got $STATUS)" [ "$STATUS" -eq 2 ]
check "--bogus with --data-dir makes no folder" nothing_written

# A folder name that is no text in UTF-8 is refused, not turned into another.
run --data-dir $'al\xffrms'
check "a --data-dir that is no text ends with 1 (got $STATUS)" [ "$STATUS" -eq 1 ]
check "a --data-dir that is no text is said why" grep -q "not valid text" <<<"$ERR"
check "a --data-dir that is no text makes no folder" nothing_written

[ "$failures" -eq 0 ] || { echo "$failures failed"; exit 1; }
echo "all passed"
