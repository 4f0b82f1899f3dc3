#!/usr/bin/env bash
# Installs what is missing, builds, and runs the gateway's main job in a demo
# folder beside the sources: three messages in the outbox, the bundled modem +
# SMS Centre simulator serving COM 1, and the console.
#   scripts/run.sh        the centre speaks UCP
#   scripts/run.sh tap    the centre speaks TAP
#   scripts/run.sh windows [tap]   the Windows program under Wine (below)
# Without a display the console runs under Xvfb and the script presses
# "Start Automatic SMS Sending" through the X server as an operator would,
# waits for the outbox to empty, presses Stop, and prints what the centre
# accepted. It exits non-zero when a message was not delivered.
# With a display it starts both and leaves the pressing to you; Ctrl+C ends both.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
protocol=UCP
windows=0
if [ "${1:-}" = windows ]; then
    windows=1
    shift
fi
case "${1:-ucp}" in
    ucp | UCP) ;;
    tap | TAP) protocol=TAP ;;
    *) echo "usage: $0 [windows] [ucp|tap]" >&2; exit 2 ;;
esac
centre=ucp
[ "$protocol" = TAP ] && centre=tap
password=demo
demo="$root/demo"

# The delivered count from the centre's record, each message on stderr.
delivered() {
    python3 - "$1" <<'EOF2'
import json, sys
n = 0
for line in open(sys.argv[1], encoding="latin-1"):
    e = json.loads(line)
    if e.get("kind") == "accepted":
        n += 1
        print("accepted by the centre: %s  \"%s\"" % (e.get("recipient"), e.get("text")), file=sys.stderr)
print(n)
EOF2
}
last_entries() {
    echo
    echo "the last log entries ($1):"
    tail -c 1200 "$1" | tr '\r' '\n' | grep -v '^$' | tail -12 | sed 's/^/  /'
    echo
}
messages() {
    printf '"0611111111","Disk C: 95%% full on FILESRV"\r\n' >"$1/msg1.dat"
    printf '"0622222222","Backup job failed at 02:00"\r\n' >"$1/msg2.dat"
    printf '"0633333333","UPS on battery"\r\n' >"$1/msg3.dat"
}

# The Windows program (32-bit, cross-built) under Wine, always on an X
# server of its own (Xvfb) with a window manager: COM1 of a fresh Wine
# prefix is the simulator's pseudo-terminal.
if [ "$windows" -eq 1 ]; then
    scripts/test-windows.sh --build-only build-windows
    WD_EXE=$root/build-windows/src/win32/app/quillmast.exe
    WD_SIM=$root/build-windows/host/tools/smsc-sim/smsc-sim
    . scripts/winedesk.sh
    trap wd_stop EXIT
    trap 'exit 130' INT TERM
    # The prefix is kept between runs in the build folder; the demo folder is new.
    mkdir -p build-windows/demo-wine
    wd_init "$root/build-windows/demo-wine"
    wd_desktop panel
    wd_sim --centre "$centre" --tap-password "$password" --connect-delay 300
    echo "simulator: COM1 is $(readlink "$WD_WORK/COM1"), a $protocol centre"
    wd_folder "$demo" "$protocol" "$password"
    messages "$demo/outbox"
    wd_start "$demo"
    echo "console: $demo/quillmast.exe under Wine on Xvfb $DISPLAY; settings and logs in $demo"
    wd_press_start
    echo "pressed \"Start Automatic SMS Sending\"; waiting for the outbox to empty"
    wd_wait 120 bash -c "[ -z \"\$(ls -A '$demo/outbox')\" ]" || true
    import -window root "$demo/console-windows.png" 2>/dev/null || true
    wd_press_start
    echo "pressed \"Stop Automatic SMS Sending\"; screenshot in $demo/console-windows.png"
    last_entries "$demo/Master.Log"
    left=$(ls -A "$demo/outbox" | wc -l)
    [ "$left" -eq 0 ] || echo "still in the outbox: $(ls "$demo/outbox" | tr '\n' ' ')" >&2
    cp "$WD_WORK/sim.jsonl" "$demo/smsc-sim.jsonl"
    echo "the centre's record: $demo/smsc-sim.jsonl"
    n=$(delivered "$demo/smsc-sim.jsonl")
    echo "$n of 3 messages delivered ($protocol, the Windows program)"
    [ "$n" -eq 3 ] && [ "$left" -eq 0 ]
    exit
fi
scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build -j"$(nproc)" --target quillmast smsc-sim

# A fresh folder each run: the program keeps its settings, logs and outbox in
# its own folder, so it runs from a copy there.
rm -rf "$demo"
mkdir -p "$demo/outbox"
cp build/src/qt/app/quillmast "$demo/quillmast"
printf '"AppPath=%s/"\r\n"Port=1"\r\n"Setting=N 8 1"\r\n"BaudRate=9600"\r\n"SMSCenterNumber=0612345678"\r\n"Protocol=%s"\r\n"OpType=01"\r\n"TAPStoredText="\r\n"TAPDeliveredText="\r\n"AuthenticationCode=%s"\r\n"LegitimizationCode="\r\n"PollingInterval=1000"\r\n' \
    "$demo" "$protocol" "$password" >"$demo/smsconf.conf"
chmod 600 "$demo/smsconf.conf"
messages "$demo/outbox"
sent=3

pids=()
cleanup() {
    for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
    wait 2>/dev/null || true
}
trap cleanup EXIT
trap 'exit 130' INT TERM

build/tools/smsc-sim/smsc-sim --dir "$demo" --name COM1 --centre "$centre" \
    --tap-password "$password" --connect-delay 300 --record "$demo/smsc-sim.jsonl" \
    >"$demo/smsc-sim.out" 2>&1 &
pids+=($!)
for _ in $(seq 300); do [ -e "$demo/COM1" ] && break; sleep 0.1; done
[ -e "$demo/COM1" ] || { echo "the simulator did not start (see $demo/smsc-sim.out)" >&2; exit 1; }
echo "simulator: COM 1 is $(readlink "$demo/COM1"), a $protocol centre; record in $demo/smsc-sim.jsonl"

if [ -n "${DISPLAY:-}" ]; then
    echo "console: $demo/quillmast (settings and logs in $demo)"
    echo "press \"Start Automatic SMS Sending\": the three messages in $demo/outbox go out;"
    echo "the centre's record is $demo/smsc-sim.jsonl. Ctrl+C ends both."
    "$demo/quillmast" &
    pids+=($!)
    wait "${pids[-1]}"
    exit 0
fi

# No display: an X server of our own, so the buttons are pressed for real.
exec {fd}< <(Xvfb -displayfd 1 -noreset -screen 0 1024x600x24 -nolisten tcp 2>/dev/null)
pids+=($!)
read -r -t 10 number <&$fd || { echo "Xvfb did not start" >&2; exit 1; }
export DISPLAY=:$number
"$demo/quillmast" >"$demo/quillmast.out" 2>&1 &
app=$!
pids+=($app)
window=$(timeout 20 xdotool search --sync --onlyvisible --name 'Quillmast Configuration' | head -1)
[ -n "$window" ] || { echo "the console did not show" >&2; exit 1; }
echo "console: running on Xvfb $DISPLAY; settings and logs in $demo"
# The button "Start Automatic SMS Sending" (16,368 193x25 in the window).
press_start_stop() { xdotool mousemove --window "$window" 112 380 click 1; }
press_start_stop
echo "pressed \"Start Automatic SMS Sending\"; waiting for the outbox to empty"
for _ in $(seq 240); do
    [ -z "$(ls -A "$demo/outbox")" ] && break
    kill -0 "$app" 2>/dev/null || break
    sleep 0.5
done
import -window root "$demo/console.png" 2>/dev/null || true
press_start_stop
echo "pressed \"Stop Automatic SMS Sending\"; screenshot in $demo/console.png"

last_entries "$demo/Master.Log"
left=$(ls -A "$demo/outbox" | wc -l)
delivered=$(delivered "$demo/smsc-sim.jsonl")
if [ "$left" -ne 0 ]; then
    echo "still in the outbox: $(ls "$demo/outbox" | tr '\n' ' ')" >&2
fi
echo "$delivered of $sent messages delivered ($protocol)"
[ "$delivered" -eq "$sent" ] && [ "$left" -eq 0 ]
