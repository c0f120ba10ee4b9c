#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds the benchmarks (Release, in build-bench/), runs them and prints one
# table: figure, value, floor, ratio, target, met. Extra arguments go to the
# microbenchmark program (for example --benchmark_repetitions=10).
#
# The table holds the microbenchmarks of the store (bench/bench_store.cpp)
# and the whole-program figures: build-bench/tikora measured from outside
# against the floor program bench/floor/ in the same run, under Xvfb with
# trayer as the tray (bench/wholeprogram.py; about three minutes), and the
# clock's figures: idle wake-ups and CPU of the exact clock, the 500 ms
# clock and the floor program side by side, the alarm delay and the delay
# after another program changed Tikor.dat (bench/clock.py; about five
# minutes).
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh test
cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DTIKORA_BENCH=ON -DTIKORA_TESTS=OFF >/dev/null
cmake --build build-bench -j "$(nproc)" --target tikora_bench tikora tikora_floor

rows="$(mktemp)"
whole_program="$(mktemp)"
clock_rows="$(mktemp)"
trap 'rm -f "$rows" "$whole_program" "$clock_rows"' EXIT
build-bench/bench/tikora_bench --benchmark_repetitions=7 --benchmark_report_aggregates_only=true \
    --tikora_table="$rows" "$@"

# --- Whole-program figures ---------------------------------------------------
# Start, memory and idle CPU of the program against its floor program, both
# in this run: each single reading is printed, the rows go to the table.
PYTHON=python3
[ -x /usr/bin/python3 ] && PYTHON=/usr/bin/python3
echo
echo "whole program: build-bench/tikora against build-bench/bench/tikora_floor"
if ! "$PYTHON" bench/wholeprogram.py --program build-bench/tikora \
    --floor build-bench/bench/tikora_floor --rows "$whole_program"; then
    printf '%s\tnot measured: bench/wholeprogram.py failed\t-\t-\t-\t-\n' \
        "start, memory and idle CPU of the whole program" >"$whole_program"
fi

# --- The clock ------------------------------------------------------------------
# The exact clock (the default) and the 500 ms clock (TIKORA_CLOCK=poll) of
# the same program, with the floor program beside them.
echo
echo "clock: build-bench/tikora, exact and 500 ms, against build-bench/bench/tikora_floor"
if ! "$PYTHON" bench/clock.py --program build-bench/tikora \
    --floor build-bench/bench/tikora_floor --rows "$clock_rows"; then
    printf '%s\tnot measured: bench/clock.py failed\t-\t-\t-\t-\n' \
        "the clock's idle wake-ups and alarm delay" >"$clock_rows"
fi

echo
echo "machine: $(nproc) cores, $(sed -n 's/^model name[[:space:]]*: //p' /proc/cpuinfo | head -n 1)," \
    "load average $(cut -d ' ' -f 1-3 /proc/loadavg), $(date -u '+%Y-%m-%d %H:%M UTC')"
{
    printf 'figure\tvalue\tfloor\tratio\ttarget\tmet?\n'
    cat "$rows" "$whole_program" "$clock_rows"
} | awk -F '\t' '
    { for (i = 1; i <= NF; i++) { cell[NR, i] = $i; if (length($i) > w[i]) w[i] = length($i) } }
    END { for (r = 1; r <= NR; r++) { line = ""
            for (i = 1; i <= 6; i++) line = line sprintf("%-" w[i] "s  ", cell[r, i])
            sub(/ +$/, "", line); print line } }'
