#!/usr/bin/env bash
# Builds the Debian package in a configured build folder (default build/) and
# checks what it holds and that Debian's checker, lintian, finds no error and
# no warning in it. As root it then installs it, starts the installed
# console headless twice for a user with an empty home (first start, then with
# a settings file in place), checks the per-user program folder, and removes
# the package again (also one that was installed before).
set -euo pipefail
cd "$(dirname "$0")/.."
dir=${1:-build}
fail() { echo "test-package: FAIL: $*" >&2; exit 1; }

rm -f "$dir"/quillmast_*.deb
out=$(cd "$dir" && cpack -G DEB 2>&1) || fail "cpack: $out"
debs=("$dir"/quillmast_*.deb)
deb=$(realpath "${debs[0]}")
echo "package: $deb"

contents=$(dpkg-deb -c "$deb" | awk '{ print $6 }')
expected=(./usr/bin/quillmast ./usr/bin/smsc-sim ./usr/lib/quillmast/quillmast
          ./usr/share/applications/quillmast.desktop ./usr/share/doc/quillmast/README.md
          ./usr/share/doc/quillmast/copyright ./usr/share/doc/quillmast/changelog.gz
          ./usr/share/man/man1/quillmast.1.gz ./usr/share/man/man1/smsc-sim.1.gz)
for size in 16 32 48 64 128 256; do
    expected+=("./usr/share/icons/hicolor/${size}x${size}/apps/quillmast.png")
done
for f in "${expected[@]}"; do
    grep -qxF "$f" <<<"$contents" || fail "$f is not in the package"
done
depends=$(dpkg-deb -f "$deb" Depends)
for p in libqt6widgets6 libqt6serialport6 fonts-dejavu-core fonts-dejavu-extra fonts-liberation; do
    grep -qw "$p" <<<"$depends" || fail "Depends lacks $p: $depends"
done
echo "contents: ${#expected[@]} expected files present; Depends: $depends"

# The changelog's latest entry is the packaged version (a version bump must
# add an entry).
version=$(dpkg-deb -f "$deb" Version)
latest=$(dpkg-deb --fsys-tarfile "$deb" | tar -xO ./usr/share/doc/quillmast/changelog.gz | zcat | head -1)
grep -qF "quillmast ($version) " <<<"$latest" || fail "changelog.gz starts with '$latest', not $version"

# smsc-sim --help and its manual page name the same options and choices (the
# page also describes --help itself).
words() { grep -oE -- '--[a-z-]+|[a-z-]+(\|[a-z-]+)+' | sort -u; }
help=$("$dir/tools/smsc-sim/smsc-sim" --help | words)
page=$(MANWIDTH=1000 man -l packaging/smsc-sim.1 2>/dev/null | words | grep -vx -- --help)
[ -n "$help" ] && [ "$help" = "$page" ] ||
    fail "smsc-sim --help and smsc-sim.1 differ: $(diff <(echo "$help") <(echo "$page"))"

# No error and no warning; information tags are allowed.
out=$(lintian --fail-on error,warning "$deb" 2>&1) || fail "lintian: $out"
! grep -E '^[EW]: ' <<<"$out" || fail "lintian: $out"
echo "lintian: no error, no warning"

if [ "$(id -u)" -ne 0 ]; then
    echo "test-package: not root, so the package is not installed and started (run as root for that)"
    exit 0
fi

home=$(mktemp -d)
pid=
cleanup() {
    [ -z "$pid" ] || kill -KILL "$pid" 2>/dev/null || true
    DEBIAN_FRONTEND=noninteractive apt-get remove -y quillmast >/dev/null 2>&1 || true
    rm -rf "$home"
}
trap cleanup EXIT
out=$(DEBIAN_FRONTEND=noninteractive apt-get install -y "$deb" 2>&1) || fail "apt-get install: $out"
folder=$home/.local/share/quillmast

# Starts the installed launcher as a user with $home; waits (at most 30 s)
# until the file $1 appears in the program folder, then checks that the
# console is still up two seconds later (it must not end by itself).
start() {
    (cd / && exec env -u XDG_DATA_HOME HOME="$home" QT_QPA_PLATFORM=offscreen \
        XDG_RUNTIME_DIR="$home" quillmast >"$home/console.out" 2>&1) &
    pid=$!
    for _ in $(seq 300); do
        [ -e "$folder/$1" ] && break
        kill -0 "$pid" 2>/dev/null || fail "the console ended at start-up: $(cat "$home/console.out")"
        sleep 0.1
    done
    [ -e "$folder/$1" ] || fail "no $1 in $folder after 30 s"
    sleep 2
    kill -0 "$pid" 2>/dev/null || fail "the console ended after start-up: $(cat "$home/console.out")"
}

# First start: the launcher makes the folder with the program and outbox/;
# lacking smsconf.conf the console then asks for a settings file and waits.
start quillmast
[ -d "$folder/outbox" ] || fail "no outbox/ in $folder"
[ "$(stat -c %a "$folder")" = 700 ] || fail "$folder is not private to the user"
cmp -s /usr/lib/quillmast/quillmast "$folder/quillmast" || fail "the program copy differs"
kill -TERM "$pid"
wait "$pid" || true
echo "first start: $folder holds $(cd "$folder" && echo *)"

# Second start with settings in place, as an operator copying theirs in: the
# console reads them and applies the line settings at once, which it logs.
printf '"AppPath=%s/"\r\n"Port=1"\r\n"Setting=N 8 1"\r\n"BaudRate=9600"\r\n"SMSCenterNumber=0612345678"\r\n"Protocol=UCP"\r\n"OpType=01"\r\n"PollingInterval=1000"\r\n' \
    "$folder" >"$folder/smsconf.conf"
settings=$(cat "$folder/smsconf.conf")
start Master.Log
[ -s "$folder/Events.Log" ] || fail "no Events.Log in $folder"
kill -TERM "$pid"
rc=0
wait "$pid" || rc=$?
pid=
[ "$rc" -eq 0 ] || fail "the console ended with status $rc on kill -TERM"
[ "$(cat "$folder/smsconf.conf")" = "$settings" ] || fail "smsconf.conf changed without an edit"
echo "second start: Master.Log: $(head -c 100 "$folder/Master.Log" | tr -d '\r')..."
echo "test-package: OK (installed, started twice, removed)"
