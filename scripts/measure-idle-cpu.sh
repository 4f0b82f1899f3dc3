#!/usr/bin/env bash
# Measures the CPU a gateway process uses while it waits, through the real
# serial adapter and the Qt event loop against smsc-sim:
#  - cycle: automatic sending on with an empty outbox for 60 s;
#  - dial:  a dial to a modem that never answers (silent, echo off), so the
#           dial waits the whole 60 s answer time-out, then the 30 s carrier
#           wait.
# Prints the probe's own figures per phase, /usr/bin/time's figures for the
# whole process, and the simulator's CPU over the same time. Goal: under 1 %
# of one core.
#
#   scripts/measure-idle-cpu.sh [BUILD_DIR] [cycle|dial|both]   (build, both)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
what=${2:-both}
if [ ! -x "$build/tools/smsc-sim/idle-probe" ] || [ ! -x "$build/tools/smsc-sim/smsc-sim" ]; then
    cmake -S . -B "$build" >/dev/null
    cmake --build "$build" -j"$(nproc)" --target idle-probe smsc-sim >/dev/null
fi
dir=$(mktemp -d)
sim=
trap 'kill $sim 2>/dev/null || true; wait 2>/dev/null || true; rm -rf "$dir"' EXIT

ticks=$(getconf CLK_TCK)
sim_cpu() { awk '{print $14 + $15}' "/proc/$sim/stat"; }

# measure LABEL SIM-ARGS... -- PROBE-MODE [PROBE-ARGS...]
measure() {
    local label=$1; shift
    local simargs=()
    while [ "$1" != "--" ]; do simargs+=("$1"); shift; done
    shift
    local mode=$1; shift
    rm -f "$dir/COM1"
    "$build/tools/smsc-sim/smsc-sim" --dir "$dir" "${simargs[@]}" >/dev/null &
    sim=$!
    for _ in $(seq 100); do [ -L "$dir/COM1" ] && break; sleep 0.05; done
    [ -L "$dir/COM1" ] || { echo "smsc-sim did not start" >&2; exit 1; }
    local before start
    before=$(sim_cpu); start=$(date +%s.%N)
    echo "$label"
    /usr/bin/time -f "process (/usr/bin/time): wall %e s  user %U s  sys %S s  cpu %P" \
        "$build/tools/smsc-sim/idle-probe" "$mode" "$dir" "$@"
    awk -v a="$before" -v b="$(sim_cpu)" -v t="$ticks" -v s="$start" -v e="$(date +%s.%N)" 'BEGIN {
        cpu = (b - a) / t; wall = e - s;
        printf "smsc-sim meanwhile:      wall %7.2f s  cpu %6.3f s  = %6.3f %% of one core\n",
               wall, cpu, 100 * cpu / wall }'
    kill "$sim"; wait "$sim" 2>/dev/null || true; sim=
}

if [ "$what" = cycle ] || [ "$what" = both ]; then
    measure "automatic sending on, empty outbox (60 s)..." --centre ucp -- idle 60
fi
if [ "$what" = dial ] || [ "$what" = both ]; then
    measure "dialling a silent modem (about 90 s)..." --result silent --no-echo -- dial
fi
