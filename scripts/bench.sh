#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds the benchmarks (Release, in build-bench/), runs them and prints one
# table: figure, value, floor, ratio, target, met. Extra arguments go to the
# microbenchmark program (for example --benchmark_repetitions=10).
#
# The table holds the microbenchmarks (bench/bench_store.cpp: the whole tick
# of the main alert window, the store's parse, the save) and the
# whole-program figures: build-bench/tikora measured from outside against
# the bare tray program bench/floor/ in the same run, under Xvfb with trayer
# as the tray (bench/wholeprogram.py; about eight minutes), and the clock's
# figures: idle wake-ups and CPU of the exact clock, the 500 ms clock and
# the floor program side by side, the alarm delay and the delay after
# another program changed Tikor.dat, the CPU with 1, 16 and 32 alert
# windows open, 400 rewrites of Tikor.dat by another program, and writes
# beside the time zone file (bench/clock.py; about fifteen minutes).
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh test
# The bench preset (CMakePresets.json): build-bench/, Release, the program,
# its sound plugin, the microbenchmarks and the floor program.
cmake --preset bench >/dev/null
cmake --build --preset bench -j "$(nproc)"

rows="$(mktemp)"
whole_program="$(mktemp)"
clock_rows="$(mktemp)"
trap 'rm -f "$rows" "$whole_program" "$clock_rows"' EXIT
build-bench/bench/tikora_bench --benchmark_repetitions=7 --benchmark_report_aggregates_only=true \
    --tikora_table="$rows" "$@"

# --- The user the programs run as -------------------------------------------
# Not root (as root Qt rescans every font at each start): as root, the
# programs run as the unprivileged user tikora-bench, made here with a home
# of its own (for its font cache) if the machine does not have it yet.
bench_user=""
if [ "$(id -u)" -eq 0 ]; then
    bench_user=tikora-bench
    if ! id "$bench_user" >/dev/null 2>&1; then
        useradd --system --create-home --home-dir /var/lib/tikora-bench \
            --shell /usr/sbin/nologin "$bench_user"
    fi
    # The programs are read from the build tree.
    chmod o+rx . build-bench build-bench/bench 2>/dev/null || true
fi

# --- Figures from outside -------------------------------------------------
# measure SCRIPT ROWS FIGURE: runs bench/SCRIPT on build-bench/tikora against
# the floor program, its rows into ROWS; if it fails, ROWS holds one row
# saying FIGURE was not measured.
PYTHON=python3
[ -x /usr/bin/python3 ] && PYTHON=/usr/bin/python3
measure() {
    echo
    echo "bench/$1: build-bench/tikora against build-bench/bench/tikora_floor"
    if ! "$PYTHON" "bench/$1" --program build-bench/tikora \
        --floor build-bench/bench/tikora_floor --user "$bench_user" --rows "$2"; then
        printf '%s\tnot measured: bench/%s failed\t-\t-\t-\t-\n' "$3" "$1" >"$2"
    fi
}

# Start, memory, idle CPU and growth per alarm of the program against the
# bare floor program, both in this run, in interleaved rounds: each single
# reading is printed, the rows (median and range) go to the table.
measure wholeprogram.py "$whole_program" "start, memory and idle CPU of the whole program"

# The clock: the exact clock (the default) and the 500 ms clock
# (TIKORA_CLOCK=poll) of the same program, with the floor program beside them.
measure clock.py "$clock_rows" "the clock's idle wake-ups and alarm delay"

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
