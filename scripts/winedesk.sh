# Sourced by the scripts that run the real quillmast.exe under Wine: an X
# server (Xvfb) with a window manager (openbox; without one each window's
# destruction costs Wine 2 s), optionally a panel with a notification area
# (trayer), a 32-bit Wine prefix on the X11 driver, smsc-sim serving COM1,
# and the program in a folder of its own. Every process started here is
# remembered by its id and ended by wd_stop.
#
#   wd_init WORK          the prefix and the simulator's files go under WORK
#   wd_desktop [panel]    X server and window manager (and the panel)
#   wd_sim SIM-ARGS...    smsc-sim on a fresh pseudo-terminal as COM1
#   wd_folder DIR PROTOCOL PASSWORD   a program folder with smsconf.conf
#   wd_start DIR          starts DIR/quillmast.exe, waits for its console
#   wd_stop               ends all of it

WD_WINE=/usr/lib/wine/wine
WD_WINESERVER=/usr/lib/wine/wineserver
WD_CONSOLE='Quillmast Configuration for Korvane'
wd_pids=()
wd_sim_pid=
wd_app=
wd_window=

wd_init() {
    WD_WORK=$1
    mkdir -p "$WD_WORK"
    export WINEPREFIX=$WD_WORK/prefix WINEARCH=win32 WINEDEBUG=-all WINEDLLOVERRIDES=mscoree,mshtml=
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        "$WD_WINE" wineboot --init >/dev/null 2>&1 || true
        "$WD_WINESERVER" -w || true
    fi
}

# Waits for a condition, at most $1 seconds.
wd_wait() {
    local end=$((SECONDS + $1))
    shift
    until "$@"; do
        [ $SECONDS -ge $end ] && return 1
        sleep 0.05
    done
}

# The X server runs with -noreset: by default it resets when its last client
# leaves, and a client connecting meanwhile (a check that came and went
# before the window manager connected) is refused. A desktop that still fails
# to come up is started afresh, twice at most, with what its parts printed.
wd_desktop() {
    local try
    for try in 1 2 3; do
        wd_desktop_once "${1:-}" && return 0
        echo "the desktop did not come up (try $try): $(cat "$WD_WORK"/openbox.out "$WD_WORK"/trayer.out 2>/dev/null)" >&2
        wd_stop
    done
    return 1
}

wd_desktop_once() {
    local fd number
    exec {fd}< <(exec Xvfb -displayfd 1 -noreset -screen 0 1024x700x24 -nolisten tcp 2>/dev/null)
    wd_pids+=($!)
    read -r -t 30 number <&$fd || { echo "Xvfb did not start" >&2; return 1; }
    export DISPLAY=:$number
    openbox >"$WD_WORK/openbox.out" 2>&1 &
    wd_pids+=($!)
    wd_wait 30 wd_wm_up || { echo "the window manager did not start" >&2; return 1; }
    if [ "$1" = panel ]; then
        # A panel of fixed width: when it grows as the icon docks, Wine at
        # times keeps a stale size for it and routes the icon's clicks to the
        # panel instead (seen with WINEDEBUG=+msg).
        trayer --edge top --align right --widthtype pixel --width 64 --height 24 \
            >"$WD_WORK/trayer.out" 2>&1 &
        wd_pids+=($!)
        wd_wait 30 wd_panel_window >/dev/null || { echo "the panel did not start" >&2; return 1; }
    fi
}

wd_wm_up() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q window; }
wd_panel_window() { xdotool search --classname '^panel$' 2>/dev/null | head -1 | grep .; }
# The icon docked in the panel (under Wine, a window of its explorer.exe,
# which holds the tray), or nothing.
wd_icon() {
    local panel
    panel=$(wd_panel_window) || return 1
    xwininfo -tree -id "$panel" 2>/dev/null | awk '/"explorer.exe"/ { print $1; exit }' | grep .
}
wd_docked() { wd_icon >/dev/null; }
wd_undocked() { ! wd_icon >/dev/null; }

# smsc-sim on a fresh pseudo-terminal, which becomes COM1 for the next Wine
# session (the mapping is read when a session starts): the running one is
# waited out first.
wd_sim() {
    if [ -n "$wd_sim_pid" ]; then
        kill "$wd_sim_pid" 2>/dev/null
        wait "$wd_sim_pid" 2>/dev/null
    fi
    rm -f "$WD_WORK/COM1" "$WD_WORK/sim.jsonl"
    "$WD_SIM" --dir "$WD_WORK" --record "$WD_WORK/sim.jsonl" "$@" >"$WD_WORK/sim.out" 2>&1 &
    wd_sim_pid=$!
    wd_wait 30 test -L "$WD_WORK/COM1" || { echo "smsc-sim made no COM1" >&2; return 1; }
    "$WD_WINESERVER" -k 2>/dev/null || true
    "$WD_WINESERVER" -w || true
    "$WD_WINE" reg add 'HKLM\Software\Wine\Ports' /v COM1 /d "$(readlink "$WD_WORK/COM1")" /f \
        >/dev/null 2>&1 || { echo "COM1 could not be mapped" >&2; return 1; }
    "$WD_WINESERVER" -w || true
}

wd_folder() { # dir protocol password
    local dir=$1
    rm -rf "$dir"
    mkdir -p "$dir/outbox"
    cp "$WD_EXE" "$dir/quillmast.exe"
    printf '"AppPath=%s\\"\r\n"Port=1"\r\n"Setting=N,8,1"\r\n"BaudRate=9600"\r\n"SMSCenterNumber=0612345678"\r\n"Protocol=%s"\r\n"OpType=01"\r\n"TAPStoredText="\r\n"TAPDeliveredText="\r\n"AuthenticationCode=%s"\r\n"LegitimizationCode="\r\n"PollingInterval=1000"\r\n' \
        "$(wd_winpath "$dir")" "$2" "$3" >"$dir/smsconf.conf"
}

wd_winpath() { printf 'Z:%s' "${1//\//\\}"; }

wd_start() { # dir
    "$WD_WINE" "$1/quillmast.exe" >"$1/quillmast.out" 2>&1 &
    wd_app=$!
    wd_window=$(wd_find "$WD_CONSOLE") || { echo "the console did not show" >&2; return 1; }
}

# The first visible window with this caption, once there is one (30 s).
wd_find() { timeout 30 xdotool search --sync --onlyvisible --name "$1" 2>/dev/null | head -1 | grep .; }
wd_shown() { xdotool search --onlyvisible --name "$1" >/dev/null 2>&1; }
wd_running() { kill -0 "$wd_app" 2>/dev/null; }
# A click at x y in the console's client area (its X window).
wd_click() { xdotool mousemove --window "$wd_window" "$1" "$2" click "${3:-1}"; }
# "Start Automatic SMS Sending" and "Send Manual SMS", their centres.
wd_press_start() { wd_click 112 380; }
wd_press_manual() { wd_click 316 380; }

wd_stop() {
    [ -n "$wd_app" ] && kill "$wd_app" 2>/dev/null
    [ -n "$wd_sim_pid" ] && kill "$wd_sim_pid" 2>/dev/null
    [ -n "${WINEPREFIX:-}" ] && "$WD_WINESERVER" -k 2>/dev/null
    true
    local p
    for p in "${wd_pids[@]}"; do kill "$p" 2>/dev/null; done
    wait 2>/dev/null
    wd_pids=()
    wd_app=
    wd_sim_pid=
}

# Whether a menu of the program is up: a shown window of it without a
# caption, larger than Wine's 1-pixel helper windows.
wd_menu_up() {
    local w
    for w in $(xdotool search --onlyvisible --classname '^quillmast\.exe$' 2>/dev/null); do
        [ -z "$(xdotool getwindowname "$w" 2>/dev/null)" ] &&
            [ "$(xwininfo -id "$w" 2>/dev/null | awk '/Width:/ { print $2 }')" -gt 20 ] && return 0
    done
    return 1
}
