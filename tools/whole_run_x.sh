#!/usr/bin/env bash
# The real program under Xvfb with a window manager, against the emulated board library of the build
# (two chips whose readings change at every poll), as a user leaves it watching a supply: for each
# state, a fresh run driven into it, then the process's CPU time over wall time (from /proc) as % of
# one core, beside the floor: bench_whole_run's empty event loop woken every 50 ms, on the same X
# server and over the same seconds.
#   tools/whole_run_x.sh [build folder] [seconds a state] [states, e.g. abcd]
# Needs Xvfb and openbox (apt-get install xvfb openbox).
set -euo pipefail
build=$(cd "${1:-build}" && pwd)
seconds=${2:-60}
states=${3:-abcd}
settle=${SETTLE:-5}
program=$build/ZVC7140Eval
library=$build/tests/emulated_board/libUSBFunctions.so
[ -x "$program" ] && [ -f "$library" ] || { echo "build $build first (program and tests)" >&2; exit 1; }

display=:$((90 + RANDOM % 100))
Xvfb "$display" -screen 0 1920x1080x24 -nolisten tcp >/dev/null 2>&1 &
xserver=$!
export DISPLAY=$display QT_QPA_PLATFORM=xcb
unset ZVC_EMU_REPORT
sleep 1
openbox >/dev/null 2>&1 &
wm=$!
work=$(mktemp -d)
trap 'kill ${FLOOR_PID:-} $wm $xserver 2>/dev/null; rm -rf "$work"' EXIT
sleep 1
cp "$program" "$library" "$work/"
echo ":00000001FF" >"$work/ZVC7140FW.Hex"
tick=$(getconf CLK_TCK)

declare -A what steps
what[a]="main window and the first block diagram"
steps[a]=""
what[b]="every page of both chips, register map, monitor showing reads and writes"
steps[b]="menu:mnuDevice1,menu:mnuDevice2,mnuRegMap,click:chkContRead,mnuSpy,click:chkReads,click:chkWrites"
what[c]="one readings page, \"Readings and Limits\" in front"
steps[c]="mnuLimits1,tab:Readings and Limits"
what[d]="the same, \"Graphs\" in front"
steps[d]="mnuLimits1,tab:Graphs"
what[e]="the same, \"Flags\" in front"
steps[e]="mnuLimits1,tab:Flags"

# CPU seconds of the process: its threads' run time in nanoseconds where the kernel keeps it, else
# user and system time from /proc/PID/stat in clock ticks.
cpu_seconds() {
    if [ -r "/proc/$1/schedstat" ]; then
        cat /proc/"$1"/task/*/schedstat 2>/dev/null | awk '{ ns += $1 } END { printf "%.6f", ns / 1e9 }'
    else
        awk -v t="$tick" '{ sub(/.*\) /, ""); printf "%.6f", ($12 + $13) / t }' "/proc/$1/stat"
    fi
}

measure() {  # pid -> % of one core over $seconds
    local pid=$1 c0 c1 w0 w1
    c0=$(cpu_seconds "$pid")
    w0=$(date +%s.%N)
    sleep "$seconds"
    c1=$(cpu_seconds "$pid")
    w1=$(date +%s.%N)
    awk -v c0="$c0" -v c1="$c1" -v w0="$w0" -v w1="$w1" 'BEGIN { printf "%.3f", 100 * (c1 - c0) / (w1 - w0) }'
}

# The floor process measures itself between an "s" and an "e" on its input.
coproc FLOOR { "$build/bench/bench_whole_run" --floor-process 2>/dev/null; }
sleep 1

printf '%-76s %8s %8s %8s\n' "state (under Xvfb and openbox, $seconds s each)" "% core" "floor %" "x floor"
for ((i = 0; i < ${#states}; i++)); do
    s=${states:i:1}
    rm -f "$work/ready"
    ZVC_EMU_CHIPS=0x48,0x4A ZVC_EMU_VARY=1 ZVC_EMU_DRIVE="${steps[$s]}" ZVC_EMU_READY="$work/ready" \
        "$work/ZVC7140Eval" >/dev/null 2>&1 &
    pid=$!
    for ((t = 0; t < 600; t++)); do
        [ -f "$work/ready" ] && break
        sleep 0.1
    done
    if [ ! -f "$work/ready" ]; then
        echo "($s) did not reach its state" >&2
        kill "$pid" 2>/dev/null || true
        continue
    fi
    sleep "$settle"
    printf s >&"${FLOOR[1]}"
    cpu=$(measure "$pid")
    printf e >&"${FLOOR[1]}"
    read -r floor <&"${FLOOR[0]}"
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    printf '(%s) %-72s %8s %8.3f %8s\n' "$s" "${what[$s]}" "$cpu" "$floor" \
        "$(awk -v c="$cpu" -v f="$floor" 'BEGIN { printf "%.2f", (f > 0 ? c / f : 0) }')"
done
