#!/usr/bin/env bash
# Builds and runs every test twice: a normal build, then one with AddressSanitizer and
# UndefinedBehaviorSanitizer that fails on any report.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/deps.sh
jobs=$(nproc)
export QT_QPA_PLATFORM=offscreen

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j"$jobs"
ctest --test-dir build --output-on-failure -j"$jobs"

cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DZVC_SANITIZE=ON -DZVC_BENCH=OFF
cmake --build build-asan -j"$jobs"
export ASAN_OPTIONS="halt_on_error=1:abort_on_error=1:detect_leaks=1"
export LSAN_OPTIONS="suppressions=$PWD/tools/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
ctest --test-dir build-asan --output-on-failure -j"$jobs"

if [ -x tools/fuzz.sh ]; then bash tools/fuzz.sh; fi
