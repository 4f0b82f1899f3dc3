#!/usr/bin/env bash
# Makes the 32-bit Wine prefix $WINEPREFIX for the tests, with Wine's null
# display driver: windows, message boxes and their modal loops then work
# without an X server.
set -euo pipefail
: "${WINEPREFIX:?names the prefix to make}"
export WINEARCH=win32 WINEDEBUG=${WINEDEBUG--all} WINEDLLOVERRIDES=mscoree,mshtml=
wine=/usr/lib/wine/wine
"$wine" wineboot --init
"$wine" reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >/dev/null
