#!/usr/bin/env bash
# The Windows installer made in BUILD_DIR (build-windows/ unless given, see
# scripts/build-installer.sh) and tried from outside under Wine, in a fresh
# 32-bit prefix, with Xvfb for the program's windows: the silent install goes
# to the user's folders and registry only and into the system's list of
# programs, asking for no more rights than the user's; the shortcut starts the
# program, which asks for a settings file and saves to its folder on the
# first edit; while it runs, installing and removing refuse; an install over
# an older version replaces the program and keeps the user's files; the
# silent removal takes the program, shortcut and entry and leaves those files;
# /D= chooses another folder, where the next install goes too.
set -uo pipefail
cd "$(dirname "$0")/.." || exit 1
dir=${1:-build-windows}
# Wine's 32-bit loader comes from the i386 architecture.
if ! dpkg --print-foreign-architectures | grep -qx i386; then
    SUDO=""; [ "$(id -u)" -ne 0 ] && SUDO="sudo"
    $SUDO dpkg --add-architecture i386
    $SUDO apt-get update
fi
scripts/install-deps.sh xvfb xdotool wine64 wine32:i386
scripts/build-installer.sh "$dir" || exit 1
setup=$(realpath "$dir"/Quillmast-*-setup.exe)
work=$(mktemp -d "${TMPDIR:-/tmp}/qm-installer.XXXXXX")
export WINEPREFIX=$work/prefix WINEARCH=win32 WINEDEBUG=-all WINEDLLOVERRIDES=mscoree,mshtml=
wine=/usr/lib/wine/wine
wineserver=/usr/lib/wine/wineserver
key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Quillmast'
console='^Quillmast Configuration for Korvane$'
version=$(sed -n 's/^project(Quillmast VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
xvfb=
failures=0

fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}
finish() {
    "$wineserver" -k 2>/dev/null
    [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null
    if [ "$failures" -eq 0 ]; then rm -rf "$work"; else echo "kept for a look: $work"; fi
}
trap finish EXIT
# Waits for a condition, at most $1 seconds.
waitfor() {
    local end=$((SECONDS + $1))
    shift
    until "$@"; do
        [ $SECONDS -ge $end ] && return 1
        sleep 0.1
    done
}
window() { xdotool search --onlyvisible --name "$1" 2>/dev/null | head -1; }
shown() { [ -n "$(window "$1")" ]; }
regvalue() { "$wine" reg query "$1" /v "$2" 2>/dev/null | tr -d '\r' | sed -n "s/^ *$2 *REG_[A-Z_]* *//p"; }
listed() { "$wine" uninstaller --list 2>/dev/null | tr -d '\r' | grep -q '|||Quillmast$'; }
install() { timeout 120 "$wine" "$setup" /S "$@"; }
gone() { for f; do [ ! -e "$f" ] || return 1; done; }
kept() { for f in smsconf.conf outbox/a.dat Master.Log; do [ -e "$prog/$f" ] || fail "$1: $f went"; done; }

Xvfb -displayfd 3 -noreset -screen 0 1024x768x24 3>"$work/display" >/dev/null 2>&1 &
xvfb=$!
waitfor 30 test -s "$work/display" || { fail "no X server"; exit 1; }
DISPLAY=:$(cat "$work/display")
export DISPLAY
"$wine" wineboot --init >/dev/null 2>&1 || { fail "no Wine prefix"; exit 1; }
IFS=';' read -r localappdata appdata < <("$wine" cmd /c 'echo %LOCALAPPDATA%;%APPDATA%' | tr -d '\r')
prog=$("$wine" winepath -u "$localappdata\\Programs\\Quillmast" 2>/dev/null)
prog=${prog%/}
shortcut="$("$wine" winepath -u "$appdata" 2>/dev/null)/Microsoft/Windows/Start Menu/Programs/Quillmast.lnk"

echo "Silent install: the user's folder, Start menu and registry"
install || fail "the install ended with $?"
for f in quillmast.exe LICENSE.txt Uninstall.exe; do [ -f "$prog/$f" ] || fail "no $prog/$f"; done
[ -d "$prog/outbox" ] || fail "no outbox folder"
[ -f "$shortcut" ] || fail "no shortcut $shortcut"
[ -z "$(find "$WINEPREFIX/drive_c/ProgramData" -iname 'quillmast*')" ] || fail "something for all users"
"$wine" reg query "${key/HKCU/HKLM}" >/dev/null 2>&1 && fail "an entry under HKLM"
winprog="$localappdata\\Programs\\Quillmast"
for row in "DisplayName=Quillmast" "DisplayVersion=$version" "Publisher=Quillmast maintainers" \
    "DisplayIcon=$winprog\\quillmast.exe" "InstallLocation=$winprog" \
    "UninstallString=\"$winprog\\Uninstall.exe\""; do
    [ "$(regvalue "$key" "${row%%=*}")" = "${row#*=}" ] || fail "entry: not $row"
done
listed || fail "not in the system's list of programs"
# Wine runs all as an administrator; Windows reads the manifest.
grep -aq 'requestedExecutionLevel level="asInvoker"' "$setup" || fail "the installer asks for more rights"
cp "$prog/quillmast.exe" "$work/installed.exe"

echo "The shortcut starts it: no settings yet, so it asks; cancelled, the first edit saves"
# In the background: where the shortcut is missing, Wine says so in a box.
"$wine" start /unix "$shortcut" >/dev/null 2>&1 &
waitfor 60 shown '^Open$' || fail "no question for a settings file"
xdotool windowfocus --sync "$(window '^Open$')" key Escape
waitfor 60 shown "$console" || fail "no console window"
xdotool windowfocus --sync "$(window "$console")" type 0612
waitfor 30 grep -qs '"SMSCenterNumber=0612"' "$prog/smsconf.conf" || fail "the edit was not saved there"

echo "While it runs, installing and removing refuse"
install
[ $? -eq 2 ] || fail "the install did not refuse"
cmp -s "$prog/quillmast.exe" "$work/installed.exe" || fail "the running program was touched"
# _?= runs the uninstaller in place, so that its exit code is the answer.
timeout 60 "$wine" "$prog/Uninstall.exe" /S "_?=$winprog"
[ $? -eq 2 ] || fail "the removal did not refuse"
[ -f "$prog/quillmast.exe" ] && [ -f "$shortcut" ] || fail "the removal took something"
"$wineserver" -k
waitfor 30 bash -c "! xdotool search --name '$console' >/dev/null" || fail "still running"

echo "Over an older version: the program replaced, the user's files kept"
printf '"0611111111","Disk C: 95%% full"\r\n' >"$prog/outbox/a.dat"
cp "$prog/smsconf.conf" "$work/smsconf.conf"
echo "an older program" >"$prog/quillmast.exe"
install || fail "the install over it ended with $?"
cmp -s "$prog/quillmast.exe" "$work/installed.exe" || fail "the program was not replaced"
cmp -s "$prog/smsconf.conf" "$work/smsconf.conf" || fail "smsconf.conf changed"
kept "the install over it"

echo "Silent removal: program, shortcut and entry go, the user's files stay"
"$wine" "$prog/Uninstall.exe" /S
# It hands over to a copy of itself and returns: wait for that copy to end.
timeout 60 "$wineserver" -w || fail "the removal did not end"
gone "$prog/quillmast.exe" "$prog/Uninstall.exe" "$prog/LICENSE.txt" "$shortcut" ||
    fail "left: $(ls "$prog" "$shortcut" 2>&1 | tr '\n' ' ')"
"$wine" reg query "$key" >/dev/null 2>&1 && fail "the entry is still there"
listed && fail "still in the system's list of programs"
kept "the removal"

echo "/D= with a blank (under Wine its words go separately); the update goes there too"
install '/D=C:\Quill' 'Mast' || fail "the install into C:\\Quill Mast ended with $?"
[ -f "$WINEPREFIX/drive_c/Quill Mast/quillmast.exe" ] || fail "not in C:\\Quill Mast"
[ "$(regvalue "$key" InstallLocation)" = 'C:\Quill Mast' ] || fail "the entry names another folder"
install || fail "the update ended with $?"
[ ! -e "$prog/quillmast.exe" ] || fail "the update did not go where the last install went"

[ "$failures" -eq 0 ] && echo "installer under Wine: all checks passed ($(stat -c %s "$setup") bytes)"
exit $((failures > 0))
