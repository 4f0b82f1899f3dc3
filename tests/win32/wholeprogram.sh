#!/usr/bin/env bash
# The real quillmast.exe under Wine, on an X server with a window manager and
# a panel (trayer), driven from outside as an operator would (xdotool) and
# checked from outside: the outbox, the logs, the simulator's record, the
# windows and the icon in the panel. smsc-sim serves a pseudo-terminal that
# the Wine prefix maps as COM1 (8N1: a pseudo-terminal takes no 7-bit or
# parity setting).
#   wholeprogram.sh QUILLMAST_EXE TESTFILTER_DLL SMSC_SIM
set -uo pipefail
WD_EXE=$1 dll=$2 WD_SIM=$3
here=$(cd "$(dirname "$0")" && pwd)
. "$here/../../scripts/winedesk.sh"
work=$(mktemp -d "${TMPDIR:-/tmp}/qm-wholeprogram.XXXXXX")
app=$work/app
clsid='{E4E91C9D-312D-11D2-B477-0800365DA902}'
failures=0

fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
    [ -n "${DISPLAY:-}" ] && import -window root "$work/failure-$failures.png" 2>/dev/null
}
finish() {
    wd_stop
    if [ "$failures" -eq 0 ]; then rm -rf "$work"; else echo "kept for a look: $work"; fi
}
trap finish EXIT

logged() { grep -qF -- "$1" "$app/Master.Log" 2>/dev/null; }
recorded() { grep -qF -- "$1" "$WD_WORK/sim.jsonl" 2>/dev/null; }
outbox_empty() { [ -z "$(ls "$app/outbox")" ]; }
ended() { ! wd_running; }
hidden() { ! wd_shown "$WD_CONSOLE"; }
menu_down() { ! wd_menu_up; }
message() { printf '%s\r\n' "$2" >"$app/outbox/$1"; }
# Whole entries only: each ends with "/False" CR LF.
logs_whole() {
    for log in Master.Log Events.Log; do
        [ ! -e "$app/$log" ] || [ "$(tail -c 8 "$app/$log" | od -An -c | tr -d ' ')" = "/False\r\n" ] ||
            fail "$log does not end with a whole entry"
    done
}
expect_accepted() { # protocol recipient text
    grep -F '"kind":"accepted"' "$WD_WORK/sim.jsonl" |
        grep -qF "\"protocol\":\"$1\",\"recipient\":\"$2\",\"text\":\"$3\"" ||
        fail "the centre did not accept $1 $2 \"$3\": $(grep accepted "$WD_WORK/sim.jsonl")"
}
# The program started on the folder's outbox.
start_program() { # protocol password
    wd_folder "$app" "$1" "$2"
    for m in "${messages[@]}"; do message "${m%%=*}" "${m#*=}"; done
    wd_start "$app" || { fail "no console"; return 1; }
}
# Start pressed, the outbox emptied.
send_outbox() {
    wd_press_start
    wd_wait 60 outbox_empty || fail "outbox not empty: $(ls "$app/outbox")"
}
deliver() { # protocol password
    start_program "$@" && send_outbox
}
# Exit from the console's own menu; the process ends and its icon goes.
exit_program() {
    wd_click 600 300 3
    wd_wait 30 wd_menu_up || fail "no menu on a right-click of the console"
    xdotool key x # E&xit
    wd_wait 30 ended || fail "still running after Exit"
    wd_wait 30 wd_undocked || fail "the icon stayed after Exit"
}

wd_init "$work"
wd_desktop panel || exit 1

echo "UCP, no filter component registered: the recipients as read; the tray"
wd_sim --centre ucp --connect-delay 200
messages=('a.dat="0611111111","Disk C: 95% full"' 'b.dat="06 22 22 22 22","Backup failed"')
start_program UCP ""
wd_wait 30 wd_docked || fail "no icon in the panel"
icon=$(wd_icon)
# The close box hides; the program and the icon go on.
xdotool windowactivate --sync "$wd_window" key alt+F4
wd_wait 30 hidden || fail "the close box did not hide the console"
wd_running || fail "the close box ended the program"
[ "$(wd_icon)" = "$icon" ] || fail "the icon went with the console"
xdotool mousemove --window "$icon" 5 5 click 1
wd_wait 30 wd_shown "$WD_CONSOLE" || fail "a click on the icon did not restore the console"
xdotool mousemove --window "$icon" 5 5 click 3
wd_wait 30 wd_menu_up || fail "a right-click on the icon opened no menu"
xdotool key Escape
wd_wait 30 menu_down || fail "the menu stayed after Escape"
send_outbox
expect_accepted UCP 0611111111 "Disk C: 95% full"
expect_accepted UCP 0622222222 "Backup failed"
[ "$(grep -c '"kind":"accepted"' "$WD_WORK/sim.jsonl")" -eq 2 ] || fail "not two messages accepted"
logged "Message Sent: <STX>01/" || fail "no UCP frame in Master.Log"
logged "Recieved:" || fail "no received text in Master.Log"
exit_program
logs_whole

echo "UCP, the test component registered: the centre gets its recipient"
key="HKLM\\Software\\Classes\\CLSID\\$clsid\\InprocServer32"
cp "$dll" "$work/"
"$WD_WINE" reg add "$key" /ve /d "$(wd_winpath "$work/$(basename "$dll")")" /f >/dev/null 2>&1
"$WD_WINE" reg add "$key" /v ThreadingModel /d Apartment /f >/dev/null 2>&1
messages=('c.dat="0633333333","UPS on battery"')
deliver UCP ""
# Rewritten to 0031 633333333; the blank is the gateway's to remove.
expect_accepted UCP 0031633333333 "UPS on battery"
exit_program
"$WD_WINE" reg delete "HKLM\\Software\\Classes\\CLSID\\$clsid" /f >/dev/null 2>&1

echo "TAP, none registered again"
wd_sim --centre tap --tap-password pw --connect-delay 200
messages=('d.dat="0644444444","Backup failed"')
deliver TAP pw
expect_accepted TAP 0644444444 "Backup failed"
logged "Message Sent: <STX>0644444444<CR>Backup failed<CR><ETX>" || fail "no TAP block in Master.Log"
exit_program
logs_whole

echo "The session ends during the carrier wait: the program ends within its pause"
wd_sim --result busy --connect-delay 3000
wd_folder "$app" UCP ""
message e.dat '"0655555555","Never sent"'
wd_start "$app" || fail "no console"
wd_wait 30 wd_docked || fail "no icon in the panel"
wd_press_start
wd_wait 30 logged "Recieved:ATDT" || fail "the dial was not answered"
asked=$(date +%s%N)
"$WD_WINE" wineboot --end-session >/dev/null 2>&1 &
wd_wait 30 ended || fail "still running 30 s after the session's end"
took=$((($(date +%s%N) - asked) / 1000000))
wait "$wd_app"
status=$?
echo "  ended $took ms after the session's end was asked for, status $status"
[ "$status" -eq 0 ] || fail "exit status $status"
# Within a second, plus the start of wineboot itself.
[ "$took" -lt 2000 ] || fail "took $took ms"
wd_wait 30 recorded '"reason":"port closed"' || fail "the call was not dropped"
[ -e "$app/outbox/e.dat" ] || fail "the unsent message went"
wd_wait 30 wd_undocked || fail "the icon stayed after the session's end"
logs_whole

[ "$failures" -eq 0 ] && echo "the Windows program under Wine: all checks passed"
exit $((failures > 0))
