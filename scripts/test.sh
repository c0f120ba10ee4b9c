#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs what is needed, builds Tikora with AddressSanitizer and
# UndefinedBehaviorSanitizer, runs every test, builds and checks the Debian
# packages, and fuzzes.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh test
# The benchmarks are built here too (two small programs over the same
# libraries), so a change that breaks them fails the test command;
# scripts/bench.sh runs them.
cmake -S . -B build-test -DCMAKE_BUILD_TYPE=Debug -DTIKORA_SANITIZE=ON -DTIKORA_WERROR=ON \
    -DTIKORA_BENCH=ON
cmake --build build-test -j "$(nproc)"
ctest --test-dir build-test --output-on-failure -j "$(nproc)"

# The Debian packages, built twice from debian/ with dpkg-buildpackage and
# compared, checked by lintian, installed with dpkg and checked
# (scripts/check-package.sh).
bash scripts/check-package.sh

# The data file reader and the date-text conversion under libFuzzer, one
# minute each, from the committed seed corpus.
bash scripts/fuzz.sh 60
