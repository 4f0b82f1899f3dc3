#!/usr/bin/env bash
# A hand-edited smsconf.conf with a 1 MiB Authentication Code: the console
# under Xvfb starts, and the script prints the CPU it uses idle (unfocused,
# then with the cursor in that field), then edits the SMS Centre Number and
# checks that the long value was saved back unchanged.
#   scripts/measure-big-value.sh [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
dir=$(mktemp -d)
trap 'kill $app $xvfb 2>/dev/null || true; rm -rf "$dir"' EXIT
cp "$build/src/qt/app/quillmast" "$dir/"
python3 - "$dir" <<'EOF'
import sys
d = sys.argv[1]
keys = [("AppPath", d + "/"), ("Port", "1"), ("Setting", "N 8 1"), ("BaudRate", "9600"),
        ("SMSCenterNumber", "0612345678"), ("Protocol", "UCP"), ("OpType", "01"),
        ("TAPStoredText", ""), ("TAPDeliveredText", ""), ("AuthenticationCode", "7" * (1 << 20)),
        ("LegitimizationCode", ""), ("PollingInterval", "1000")]
open(d + "/smsconf.conf", "w", newline="").write("".join('"%s=%s"\r\n' % kv for kv in keys))
EOF
cp "$dir/smsconf.conf" "$dir/before.conf"
display=:$((200 + RANDOM % 100))
Xvfb "$display" -screen 0 1024x768x24 >/dev/null 2>&1 & xvfb=$!
sleep 1
DISPLAY=$display "$dir/quillmast" >/dev/null 2>&1 & app=$!
export DISPLAY=$display
for _ in $(seq 100); do xdotool search --name "Quillmast" >/dev/null 2>&1 && break; sleep 0.1; done
sleep 3
ticks() { awk '{print $14 + $15}' /proc/$app/stat; }
idle() { local a b; a=$(ticks); sleep "$1"; b=$(ticks); echo "$(( (b - a) * 10 )) ms CPU in $1 s"; }
win=$(xdotool search --name "Quillmast" | head -1)
echo "idle, unfocused:            $(idle 10)"
# The fields' places in the window: their twips in src/console/face.cpp, 15 to a pixel.
xdotool mousemove --window "$win" 620 112 click 1
sleep 3
for _ in 1 2 3 4; do echo "idle, cursor in the field:  $(idle 5)"; done
xdotool mousemove --window "$win" 344 79 click 1
xdotool key End type 9
sleep 2
echo "idle, after an edit:        $(idle 5)"
python3 - "$dir" <<'EOF'
import sys
d = sys.argv[1]
def auth(name):
    return [l for l in open(d + "/" + name, "rb").read().split(b"\r\n") if l.startswith(b'"AuthenticationCode=')]
new = open(d + "/smsconf.conf", "rb").read()
print("SMS Centre Number saved:", b'"SMSCenterNumber=06123456789"' in new)
print("1 MiB value saved back unchanged:", auth("before.conf") == auth("smsconf.conf"))
EOF
