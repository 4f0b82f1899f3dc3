#!/usr/bin/env bash
# The core over the real Win32 seams under Wine, delivering to smsc-sim: the
# simulator serves a pseudo-terminal that the Wine prefix maps as COM1, the
# Windows program (qm_wholecore) sends its outbox, and this side checks the
# outbox, the logs and the simulator's record. Over UCP and TAP (8N1: a
# pseudo-terminal takes no 7-bit or parity setting), with and without a
# recipient filter component registered, and the end of the session during
# the dial's blocking carrier wait.
#   wholecore.sh QM_WHOLECORE_EXE QM_TESTFILTER_DLL SMSC_SIM
set -uo pipefail
exe=$1 dll=$2 sim=$3
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d "${TMPDIR:-/tmp}/qm-wholecore.XXXXXX")
export WINEPREFIX=$work/prefix WINEARCH=win32 WINEDEBUG=-all WINEDLLOVERRIDES=mscoree,mshtml=
wine=/usr/lib/wine/wine
wineserver=/usr/lib/wine/wineserver
app=$work/app
clsid='{E4E91C9D-312D-11D2-B477-0800365DA902}'
simpid=
failures=0

fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}
finish() {
    [ -n "$simpid" ] && kill "$simpid" 2>/dev/null
    "$wineserver" -k 2>/dev/null
    if [ "$failures" -eq 0 ]; then rm -rf "$work"; else echo "kept for a look: $work"; fi
}
trap finish EXIT
# Waits for a condition, at most $1 seconds.
waitfor() {
    local end=$((SECONDS + $1))
    shift
    until "$@"; do
        [ $SECONDS -ge $end ] && return 1
        sleep 0.05
    done
}
winpath() { printf 'Z:%s' "${1//\//\\}"; }
logged() { grep -qF -- "$1" "$app/Master.Log" 2>/dev/null; }
recorded() { grep -qF -- "$1" "$work/sim.jsonl" 2>/dev/null; }

# smsc-sim on a fresh pseudo-terminal, which becomes COM1 for the next
# Wine session (the mapping is read when a session starts).
start_sim() {
    [ -n "$simpid" ] && { kill "$simpid"; wait "$simpid" 2>/dev/null; }
    rm -f "$work/COM1" "$work/sim.jsonl"
    "$sim" --dir "$work" --record "$work/sim.jsonl" "$@" >"$work/sim.out" 2>&1 &
    simpid=$!
    waitfor 30 test -L "$work/COM1" || { fail "smsc-sim made no COM1"; return 1; }
    "$wine" reg add 'HKLM\Software\Wine\Ports' /v COM1 /d "$(readlink "$work/COM1")" /f >/dev/null
    "$wineserver" -w
    serve_wine
}
# The next session's server, its own output kept out of the program's.
serve_wine() { "$wineserver" -p3 >/dev/null 2>&1; }
message() { printf '%s\r\n' "$2" >"$app/outbox/$1"; }
run_core() {
    timeout 60 "$wine" "$work/qm_wholecore.exe" "$(winpath "$app/")" "$@" >"$work/core.out" 2>&1 ||
        fail "qm_wholecore $*: exit $? ($(tail -3 "$work/core.out"))"
}
# Whole entries only: each ends with "/False" CR LF.
logs_whole() {
    for log in Master.Log Events.Log; do
        [ ! -e "$app/$log" ] || [ "$(tail -c 8 "$app/$log" | od -An -c | tr -d ' ')" = "/False\r\n" ] ||
            fail "$log does not end with a whole entry"
    done
}
expect_accepted() { # protocol recipient text
    grep -F '"kind":"accepted"' "$work/sim.jsonl" |
        grep -qF "\"protocol\":\"$1\",\"recipient\":\"$2\",\"text\":\"$3\"" ||
        fail "the centre did not accept $1 $2 \"$3\": $(grep accepted "$work/sim.jsonl")"
}

bash "$here/make-prefix.sh" >/dev/null 2>&1 || { fail "no Wine prefix"; exit 1; }
cp "$exe" "$dll" "$work/"
mkdir -p "$app/outbox"

echo "UCP, no filter component registered: the recipients as read"
start_sim --centre ucp --connect-delay 200
message a.dat '"0611111111","Disk C: 95% full"'
message b.dat '"06 22 22 22 22","Backup failed"'
start=$SECONDS
run_core UCP 01 ""
echo "  took $((SECONDS - start)) s"
[ -z "$(ls "$app/outbox")" ] || fail "outbox not empty: $(ls "$app/outbox")"
expect_accepted UCP 0611111111 "Disk C: 95% full"
expect_accepted UCP 0622222222 "Backup failed"
[ "$(grep -c '"kind":"accepted"' "$work/sim.jsonl")" -eq 2 ] || fail "not two messages accepted"
logged "Message Sent: <STX>01/" || fail "no UCP frame in Master.Log"
logged "Recieved:" || fail "no received text in Master.Log"
logs_whole

echo "UCP, the test component registered: the centre gets its recipient"
key="HKLM\\Software\\Classes\\CLSID\\$clsid\\InprocServer32"
"$wine" reg add "$key" /ve /d "$(winpath "$work/$(basename "$dll")")" /f >/dev/null
"$wine" reg add "$key" /v ThreadingModel /d Apartment /f >/dev/null
message c.dat '"0633333333","UPS on battery"'
run_core UCP 01 ""
[ -z "$(ls "$app/outbox")" ] || fail "outbox not empty: $(ls "$app/outbox")"
# Rewritten to 0031 633333333; the blank is the gateway's to remove.
expect_accepted UCP 0031633333333 "UPS on battery"
"$wine" reg delete "HKLM\\Software\\Classes\\CLSID\\$clsid" /f >/dev/null

echo "TAP, none registered again"
start_sim --centre tap --tap-password pw --connect-delay 200
message d.dat '"0644444444","Backup failed"'
run_core TAP 01 pw
[ -z "$(ls "$app/outbox")" ] || fail "outbox not empty: $(ls "$app/outbox")"
expect_accepted TAP 0644444444 "Backup failed"
logged "Message Sent: <STX>0644444444<CR>Backup failed<CR><ETX>" || fail "no TAP block in Master.Log"
logs_whole

echo "The session ends during the carrier wait: the program ends within its pause"
start_sim --result busy --connect-delay 3000
message e.dat '"0655555555","Never sent"'
: >"$app/Master.Log"
timeout 120 "$wine" "$work/qm_wholecore.exe" "$(winpath "$app/")" UCP 01 "" --keep-going \
    >"$work/core.out" 2>&1 &
core=$!
waitfor 30 logged "Recieved:ATDT" || fail "the dial was not answered"
asked=$(date +%s%N)
"$wine" wineboot --end-session >/dev/null 2>&1 &
waitfor 30 bash -c "! kill -0 $core 2>/dev/null" || fail "still running 30 s after the session's end"
ended=$(( ($(date +%s%N) - asked) / 1000000 ))
wait "$core"
status=$?
echo "  ended $ended ms after the session's end was asked for, status $status"
grep -q "ending: the session ends" "$work/core.out" || fail "not ended by the session's end: $(cat "$work/core.out")"
[ "$status" -eq 0 ] || fail "exit status $status"
# One-second pauses, plus the start of wineboot itself.
[ "$ended" -lt 5000 ] || fail "took $ended ms"
waitfor 30 recorded '"reason":"port closed"' || fail "the call was not dropped"
[ -e "$app/outbox/e.dat" ] || fail "the unsent message went"
logs_whole

[ "$failures" -eq 0 ] && echo "whole core under Wine: all checks passed"
exit $((failures > 0))
