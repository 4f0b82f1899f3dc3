#!/usr/bin/env bash
# Installs what is missing, builds, and starts the gateway's console in a demo
# folder beside the sources, with the bundled modem + SMS Centre simulator
# serving COM 1 there. Without a display the console runs under Xvfb and a
# screenshot is saved to demo/console.png. Ctrl+C stops both.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)" --target quillmast smsc-sim

demo="$root/demo"
mkdir -p "$demo/outbox"
# The program keeps its files in its own folder, so it runs from a copy there.
cp -f build/src/app/quillmast "$demo/quillmast"
if [ ! -f "$demo/smsconf.conf" ]; then
    printf '"AppPath=%s/"\r\n"Port=1"\r\n"Setting=N 8 1"\r\n"BaudRate=9600"\r\n"SMSCenterNumber=0612345678"\r\n"Protocol=UCP"\r\n"OpType=01"\r\n"TAPStoredText="\r\n"TAPDeliveredText="\r\n"AuthenticationCode="\r\n"LegitimizationCode="\r\n"PollingInterval=1000"\r\n' \
        "$demo" > "$demo/smsconf.conf"
    chmod 600 "$demo/smsconf.conf"
fi
[ -n "$(ls -A "$demo/outbox")" ] || printf '"0612345678","Disk C: 95%% full"\r\n' > "$demo/outbox/demo1.dat"

pids=()
cleanup() { for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done; wait 2>/dev/null || true; }
trap cleanup EXIT INT TERM

rm -f "$demo/COM1"
build/tools/smsc-sim/smsc-sim --dir "$demo" --name COM1 --centre ucp --record "$demo/smsc-sim.jsonl" &
pids+=($!)
for _ in $(seq 50); do [ -e "$demo/COM1" ] && break; sleep 0.1; done
echo "simulator: COM 1 is $(readlink "$demo/COM1"); record in $demo/smsc-sim.jsonl"

if [ -n "${DISPLAY:-}" ]; then
    echo "console: $demo/quillmast (logs and settings in $demo)"
    "$demo/quillmast"
else
    display=:$(( 90 + RANDOM % 100 ))
    Xvfb "$display" -screen 0 1024x600x24 >/dev/null 2>&1 &
    pids+=($!)
    sleep 1
    DISPLAY=$display "$demo/quillmast" &
    app=$!
    pids+=($app)
    sleep 3
    DISPLAY=$display import -window root "$demo/console.png"
    echo "console: running headless on Xvfb $display; screenshot saved to $demo/console.png"
    echo "logs and settings in $demo; Ctrl+C stops"
    wait "$app"
fi
