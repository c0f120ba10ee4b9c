#!/usr/bin/env bash
# Builds the benchmarks (Release, in build-bench/), runs them and prints one
# table: figure, value, floor, ratio, target, met. Extra arguments go to the
# benchmark program (for example --benchmark_repetitions=10).
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh
cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DTIKORA_BENCH=ON -DTIKORA_TESTS=OFF >/dev/null
cmake --build build-bench -j "$(nproc)" --target tikora_bench

rows="$(mktemp)"
trap 'rm -f "$rows"' EXIT
build-bench/bench/tikora_bench --benchmark_repetitions=7 --benchmark_report_aggregates_only=true \
    --tikora_table="$rows" "$@"

# --- Whole-program figures: NOT MEASURED YET -------------------------------
# Start time, memory and idle CPU of the tray program against a floor program
# (an empty Qt program with a tray icon and a 500 ms timer). They are added
# here once the tray program exists; until then the rows say so.
whole_program=(
    $'start: launch to icon in the tray\tnot measured yet\t-\t-\t-\t-'
    $'memory: resident set after start\tnot measured yet\t-\t-\t-\t-'
    $'idle CPU: one minute, no alarm due\tnot measured yet\t-\t-\t-\t-'
)

echo
echo "machine: $(nproc) cores, $(sed -n 's/^model name[[:space:]]*: //p' /proc/cpuinfo | head -n 1)"
{
    printf 'figure\tvalue\tfloor\tratio\ttarget\tmet?\n'
    cat "$rows"
    printf '%s\n' "${whole_program[@]}"
} | awk -F '\t' '
    { for (i = 1; i <= NF; i++) { cell[NR, i] = $i; if (length($i) > w[i]) w[i] = length($i) } }
    END { for (r = 1; r <= NR; r++) { line = ""
            for (i = 1; i <= 6; i++) line = line sprintf("%-" w[i] "s  ", cell[r, i])
            sub(/ +$/, "", line); print line } }'
