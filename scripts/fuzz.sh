#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds the fuzz targets with clang (libFuzzer, AddressSanitizer,
# UndefinedBehaviorSanitizer) in build-fuzz/ and runs each for the given
# number of seconds (default 60), starting from a scratch copy of its seed
# corpus in fuzz/corpus/. The committed corpus is never changed. An input
# that fails is kept in build-fuzz/artifacts/ and the script fails.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds="${1:-60}"
# The fuzz preset (fuzz/CMakePresets.json): clang, build-fuzz/.
cmake -S fuzz --preset fuzz >/dev/null
(cd fuzz && cmake --build --preset fuzz -j "$(nproc)")

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
mkdir -p build-fuzz/artifacts
# Leak checks on, whatever the caller's settings.
export ASAN_OPTIONS=detect_leaks=1
export UBSAN_OPTIONS=print_stacktrace=1

targets=(reader datetext)
for target in "${targets[@]}"; do
    mkdir -p "$work/$target"
    cp fuzz/corpus/"$target"/* "$work/$target/"
    echo "fuzz: $target for ${seconds}s"
    if ! build-fuzz/fuzz_"$target" -max_total_time="$seconds" -timeout=5 -rss_limit_mb=2048 \
        -dict=fuzz/"$target".dict -artifact_prefix=build-fuzz/artifacts/"$target"- \
        -print_final_stats=1 "$work/$target" >"$work/$target.log" 2>&1; then
        tail -n 60 "$work/$target.log"
        echo "fuzz: $target FAILED; the input is in build-fuzz/artifacts/" >&2
        exit 1
    fi
    runs="$(sed -n 's/^stat::number_of_executed_units: *//p' "$work/$target.log")"
    rss="$(sed -n 's/^stat::peak_rss_mb: *//p' "$work/$target.log")"
    echo "fuzz: $target passed: $runs inputs, $(ls "$work/$target" | wc -l) in corpus, peak ${rss} MB"
done
echo "fuzz: ${#targets[@]} passed, 0 failed"
