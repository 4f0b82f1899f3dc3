#!/usr/bin/env bash
# Measures the CPU a gateway process uses while it waits for a modem that
# never answers: idle-probe dials through the real serial adapter and the Qt
# event loop against smsc-sim (silent modem, echo off), so the dial waits the
# whole 60 s answer time-out, then the 30 s carrier wait. Prints the probe's
# own figures per phase, /usr/bin/time's figures for the whole process, and
# the simulator's CPU over the same time. Goal: under 1 % of one core.
#
#   scripts/measure-idle-cpu.sh [BUILD_DIR]      (default: build)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
if [ ! -x "$build/tools/smsc-sim/idle-probe" ] || [ ! -x "$build/tools/smsc-sim/smsc-sim" ]; then
    cmake -S . -B "$build" >/dev/null
    cmake --build "$build" -j"$(nproc)" --target idle-probe smsc-sim >/dev/null
fi
dir=$(mktemp -d)
trap 'kill "$sim" 2>/dev/null || true; wait 2>/dev/null || true; rm -rf "$dir"' EXIT

"$build/tools/smsc-sim/smsc-sim" --dir "$dir" --result silent --no-echo >/dev/null &
sim=$!
for _ in $(seq 100); do [ -L "$dir/COM1" ] && break; sleep 0.05; done
[ -L "$dir/COM1" ] || { echo "smsc-sim did not start" >&2; exit 1; }

ticks=$(getconf CLK_TCK)
sim_cpu() { awk '{print $14 + $15}' "/proc/$sim/stat"; }
sim_before=$(sim_cpu)
start=$(date +%s.%N)

echo "idle-probe dialling a silent modem (about 90 s)..."
/usr/bin/time -f "process (/usr/bin/time): wall %e s  user %U s  sys %S s  cpu %P" \
    "$build/tools/smsc-sim/idle-probe" "$dir"

sim_after=$(sim_cpu)
end=$(date +%s.%N)
awk -v a="$sim_before" -v b="$sim_after" -v t="$ticks" -v s="$start" -v e="$end" 'BEGIN {
    cpu = (b - a) / t; wall = e - s;
    printf "smsc-sim meanwhile:      wall %7.2f s  cpu %6.3f s  = %6.3f %% of one core\n",
           wall, cpu, 100 * cpu / wall }'
