#!/usr/bin/env bash
# What one message costs the gateway:
#  - in virtual time: 1000 messages per protocol through the real routines
#    with the simulated modem and centre (bench/send_cost), CPU per message
#    per block of 100, so growth with the number sent would show;
#  - in real time: 20 messages per protocol through the real serial adapter
#    and Qt seams over a pseudo-terminal served by smsc-sim (idle-probe
#    deliver): wall time per message, the part spent waiting in the event
#    pump and pauses (response window, pause between passes, the modem's
#    answer), and what is left: the gateway's own work. Goal: under 50 ms.
#
#   scripts/measure-send-cost.sh [BUILD_DIR]      (default: build)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
cmake -S . -B "$build" >/dev/null
cmake --build "$build" -j"$(nproc)" --target send_cost idle-probe smsc-sim >/dev/null

"$build/bench/send_cost" 1000

dir=$(mktemp -d)
sim=
trap 'kill $sim 2>/dev/null || true; wait 2>/dev/null || true; rm -rf "$dir"' EXIT
for protocol in UCP TAP; do
    rm -rf "$dir"/*
    centre=$(echo "$protocol" | tr A-Z a-z)
    "$build/tools/smsc-sim/smsc-sim" --dir "$dir" --centre "$centre" --connect-delay 0 \
        --no-echo --reply-delay 20 >/dev/null &
    sim=$!
    for _ in $(seq 100); do [ -L "$dir/COM1" ] && break; sleep 0.05; done
    "$build/tools/smsc-sim/idle-probe" deliver "$dir" 20 "$protocol" | grep -v '^box:'
    kill "$sim"; wait "$sim" 2>/dev/null || true; sim=
done
