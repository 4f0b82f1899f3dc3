#!/usr/bin/env bash
# What the Windows program costs under Wine, against the Linux program:
#  - idle: automatic sending on with an empty outbox for SECONDS (60): the
#    CPU of quillmast.exe's own process, and apart from it Wine's services
#    of the same prefix (wineserver, explorer.exe, services.exe ...).
#    Goal: under 1 % of one core.
#  - per message: MESSAGES (20) UCP messages delivered to smsc-sim by the
#    real program, Windows and Linux alike (Start pressed on the console,
#    the outbox emptied): the program's CPU from the press to the last
#    file gone, per message. Goal: Windows within 2x of Linux.
# Both programs run on an X server of their own (Xvfb, openbox).
#
#   scripts/measure-windows.sh [SECONDS] [MESSAGES]
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
seconds=${1:-60}
count=${2:-20}
scripts/test-windows.sh --build-only build-windows >/dev/null
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build -j2 --target quillmast >/dev/null
WD_EXE=$root/build-windows/src/win32/app/quillmast.exe
WD_SIM=$root/build-windows/host/tools/smsc-sim/smsc-sim
. scripts/winedesk.sh
work=$(mktemp -d)
linux_app=
trap '[ -n "$linux_app" ] && kill $linux_app 2>/dev/null; wd_stop; rm -rf "$work"' EXIT
ticks=$(getconf CLK_TCK)
cpu() { awk '{print $14 + $15}' "/proc/$1/stat"; }
# Wine's own processes of this prefix.
wine_services_cpu() {
    local total=0 p
    for p in $(pgrep -f 'wineserver|C:\\windows\\' || true); do
        [ "$p" = "$wd_app" ] && continue
        grep -qzx "WINEPREFIX=$WINEPREFIX" "/proc/$p/environ" 2>/dev/null || continue
        total=$((total + $(cpu "$p" 2>/dev/null || echo 0)))
    done
    echo "$total"
}
percent() { awk -v c="$1" -v t="$ticks" -v s="$2" 'BEGIN { printf "%.2f %% of one core", 100 * c / t / s }'; }
per_message() { awk -v c="$1" -v t="$ticks" -v n="$count" 'BEGIN { printf "%.1f", 1000 * c / t / n }'; }
outbox_empty() { [ -z "$(ls -A "$1/outbox")" ]; }
fill_outbox() {
    for i in $(seq "$count"); do printf '"06%08d","Message %d"\r\n' "$i" "$i" >"$1/outbox/m$i.dat"; done
}

wd_init "$work/wine"
wd_desktop
wd_sim --centre ucp --connect-delay 0 --reply-delay 20
app=$work/app
wd_folder "$app" UCP ""
wd_start "$app"
wd_press_start
sleep 3 # the first passes over the empty outbox, not measured
before=$(cpu "$wd_app") services=$(wine_services_cpu) start=$(date +%s.%N)
echo "Windows program, automatic sending on, empty outbox, ${seconds} s..."
sleep "$seconds"
wall=$(awk -v s="$start" -v e="$(date +%s.%N)" 'BEGIN { print e - s }')
idle=$(($(cpu "$wd_app") - before))
echo "  quillmast.exe:  $(percent "$idle" "$wall")"
echo "  Wine's services meanwhile: $(percent $(($(wine_services_cpu) - services)) "$wall")"

fill_outbox "$app"
before=$(cpu "$wd_app")
wd_wait 600 outbox_empty "$app" || { echo "the outbox did not empty" >&2; exit 1; }
windows=$(($(cpu "$wd_app") - before))
echo "Windows program, $count messages: $(per_message "$windows") ms CPU a message"

# The Linux program on the same X server, its COM1 a link in its folder.
linux=$work/linux
mkdir -p "$linux/outbox"
cp build/src/qt/app/quillmast "$linux/"
sed -e "s|^\"AppPath=.*|\"AppPath=$linux/\"\r|" "$app/smsconf.conf" >"$linux/smsconf.conf"
"$root/build-windows/host/tools/smsc-sim/smsc-sim" --dir "$linux" --name COM1 --centre ucp \
    --connect-delay 0 --reply-delay 20 >/dev/null 2>&1 &
wd_pids+=($!)
wd_wait 30 test -L "$linux/COM1"
QT_QPA_PLATFORM=xcb "$linux/quillmast" >/dev/null 2>&1 &
linux_app=$!
window=$(timeout 30 xdotool search --sync --onlyvisible --name 'Quillmast Configuration' | head -1)
fill_outbox "$linux"
before=$(cpu "$linux_app")
xdotool mousemove --window "$window" 112 380 click 1
wd_wait 600 outbox_empty "$linux" || { echo "the Linux outbox did not empty" >&2; exit 1; }
native=$(($(cpu "$linux_app") - before))
echo "Linux program, $count messages:   $(per_message "$native") ms CPU a message"
awk -v w="$windows" -v l="$native" 'BEGIN { if (l > 0) printf "Windows / Linux: %.2f\n", w / l }'
