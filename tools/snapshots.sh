#!/usr/bin/env bash
# Builds the program and writes a PNG of every window and tab, taken offscreen in simulation
# mode, into the folder given (default: build/snapshots), at the font size given in points
# (default: the toolkit's own).
set -euo pipefail
cd "$(dirname "$0")/.."
out="${1:-build/snapshots}"
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j4 --target zvc_snapshots
mkdir -p "$out"
exec ./build/tools/snapshots/zvc_snapshots "$out" ${2:+"$2"}
