#!/usr/bin/env bash
# Builds the libFuzzer targets with clang in build-fuzz and runs each for a bounded time
# (FUZZ_SECONDS, 60 by default); any crash, sanitizer report or leak fails the run.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${FUZZ_SECONDS:-60}

cmake -S . -B build-fuzz -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZVC_FUZZ=ON -DZVC_BENCH=OFF -DZVC_SANITIZE=ON
cmake --build build-fuzz -j4 --target fuzz_settings_file

export ASAN_OPTIONS="halt_on_error=1:abort_on_error=1:detect_leaks=1"
export LSAN_OPTIONS="suppressions=$PWD/tools/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"

# Work on a copy of the seeds so that the committed corpus stays as it is.
corpus=build-fuzz/corpus/settings_file
mkdir -p "$corpus"
cp fuzz/corpus/* "$corpus"/
build-fuzz/fuzz/fuzz_settings_file -max_total_time="$seconds" -max_len=16384 \
  -artifact_prefix=build-fuzz/ "$corpus"
