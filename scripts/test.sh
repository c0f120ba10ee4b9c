#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs what is needed, builds Tikora with AddressSanitizer and
# UndefinedBehaviorSanitizer, runs every test, builds and checks the Debian
# packages, and fuzzes.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh test
# The sanitize preset (CMakePresets.json): build-test/, warnings as errors,
# and the benchmarks built too (two small programs over the same libraries),
# so a change that breaks them fails the test command; scripts/bench.sh runs
# them.
cmake --preset sanitize
cmake --build --preset sanitize -j "$(nproc)"
ctest --preset sanitize -j "$(nproc)"

# The Debian packages, built twice from debian/ with dpkg-buildpackage and
# compared, checked by lintian, installed with dpkg and checked
# (scripts/check-package.sh).
bash scripts/check-package.sh

# The data file reader and the date-text conversion under libFuzzer, one
# minute each, from the committed seed corpus.
bash scripts/fuzz.sh 60
