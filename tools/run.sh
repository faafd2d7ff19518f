#!/usr/bin/env bash
# Builds the program and starts it. Without an evaluation board it offers simulation mode.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZVC_BENCH=OFF >/dev/null
cmake --build build -j"$(nproc)" --target ZVC7140Eval
exec ./build/ZVC7140Eval
