#!/usr/bin/env bash
# A Wine session for the Windows build's tests: a display of its own (Xvfb), a
# throw-away prefix under build/wine (copied afresh from a prepared base, which
# costs a second instead of a fresh wineboot), and one process that keeps
# Wine's desktop up for the whole session, so no test waits for it to close.
#
#   scripts/wine-session.sh COMMAND [ARG...]
#
# runs COMMAND in the session (WINEPREFIX, DISPLAY, WINEDEBUG, HOME set) and
# then ends it, e.g.
#   scripts/wine-session.sh ctest --test-dir build/win64 -R e2e.main_window_never_visible --output-on-failure
# scripts/test-win64.sh sources it and calls wine_session_start instead.
#
# Why the care: the first Wine process of a session starts Wine's own
# processes (services, device hosts, explorer), and they keep that process's
# standard error open for the whole session. Were it a test, the test driver
# would wait for the end of its output until the time-out. So the session is
# brought up by the keeper alone, with its output on /dev/null, and nothing
# else runs before its window exists. Needs build/win64 (the probe).

W=/usr/lib/wine
wine_session_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
wine_session_rt=""
wine_session_xvfb=""
wine_session_keeper=""
wine_session_guard=""

wine_session_fail() {
    echo "wine-session: $*" >&2
    exit 1
}

# Ends the session: the commands run in it, every Wine process of the prefix,
# the wineserver, the display. Safe to call more than once.
wine_session_end() {
    local rc=$?
    set +e
    trap - EXIT HUP INT TERM
    if [ -n "$wine_session_guard" ]; then
        kill "$wine_session_guard" 2>/dev/null
        wait "$wine_session_guard" 2>/dev/null
    fi
    [ -n "$wine_session_rt" ] && xargs -r kill <"$wine_session_rt/pids" 2>/dev/null
    if [ -n "${WINEPREFIX:-}" ] && [ -d "$WINEPREFIX" ]; then
        "$W/wineserver64" -k </dev/null >/dev/null 2>&1
        "$W/wineserver64" -w </dev/null >/dev/null 2>&1
    fi
    [ -n "$wine_session_keeper" ] && wait "$wine_session_keeper" 2>/dev/null
    if [ -n "$wine_session_xvfb" ]; then
        kill "$wine_session_xvfb" 2>/dev/null
        wait "$wine_session_xvfb" 2>/dev/null
    fi
    [ -n "$wine_session_rt" ] && rm -rf "$wine_session_rt"
    wine_session_rt="" wine_session_xvfb="" wine_session_keeper="" wine_session_guard=""
    return "$rc"
}

wine_session_start() {
    local root=$wine_session_root
    local probe=$root/build/win64/tests/e2e/e2e_probe.exe
    [ -f "$probe" ] || wine_session_fail "$probe is missing: build the win64 preset first"

    trap 'wine_session_end; exit $?' EXIT
    trap 'exit 129' HUP
    trap 'exit 130' INT
    trap 'exit 143' TERM
    wine_session_rt=$(mktemp -d "${TMPDIR:-/tmp}/wine-session.XXXXXX")
    : >"$wine_session_rt/pids"

    # Everything Wine touches lives under build/wine: the prefix, and a home
    # of its own for the sound setting.
    local wine_dir=$root/build/wine
    local base=$wine_dir/base
    export WINEDEBUG=-all WINEARCH=win64 WINEDLLOVERRIDES="mscoree,mshtml="
    export WINEPREFIX=$wine_dir/prefix
    export HOME=$wine_dir/home
    mkdir -p "$HOME"
    # Wine's sound through ALSA: a null device, set only in this home. The
    # audio scenarios add "USB PHONE" (another null device) to Wine's device
    # list through winealsa.drv's ALSAOutputDevices / ALSAInputDevices.
    printf 'pcm.!default { type null }\nctl.!default { type null }\npcm."USB PHONE" { type null }\n' \
        >"$HOME/.asoundrc"

    # Xvfb picks a free display and reports it once it accepts clients: no
    # window between choosing a number and taking it.
    local xfd display=""
    exec {xfd}< <(exec Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp \
        3>&1 </dev/null >/dev/null 2>&1)
    wine_session_xvfb=$!
    read -r -t 60 -u "$xfd" display || true
    exec {xfd}<&-
    [ -n "$display" ] || wine_session_fail "Xvfb did not start"
    export DISPLAY=":$display"

    # Were this script killed outright, the session would not outlive it.
    (
        tail --pid=$$ -f /dev/null
        xargs -r kill <"$wine_session_rt/pids"
        "$W/wineserver64" -k
        kill "$wine_session_xvfb"
        rm -rf "$wine_session_rt"
    ) </dev/null >/dev/null 2>&1 &
    wine_session_guard=$!

    if [ ! -f "$base/.ready" ]; then
        rm -rf "$base"
        mkdir -p "$base"
        WINEPREFIX=$base "$W/wine64" wineboot -i </dev/null >/dev/null 2>&1
        WINEPREFIX=$base "$W/wineserver64" -w </dev/null >/dev/null 2>&1
        touch "$base/.ready"
    fi
    rm -rf "$WINEPREFIX"
    cp -a "$base" "$WINEPREFIX"

    # The keeper is the session's first Wine process: it starts the
    # wineserver and Wine's own processes, all with its /dev/null streams.
    local ready=$wine_session_rt/ready
    "$W/wine64" "$probe" hold "Z:${ready//\//\\}" </dev/null >/dev/null 2>&1 &
    wine_session_keeper=$!
    local i
    for ((i = 0; i < 1200; i++)); do
        [ -e "$ready" ] && return 0
        kill -0 "$wine_session_keeper" 2>/dev/null || wine_session_fail "the session keeper ended"
        sleep 0.1
    done
    wine_session_fail "Wine's session was not up after 120 s"
}

# Runs a command in the session; a signal to this script ends it as well.
# It reads the terminal when there is one (a helper taking keys by hand).
wine_session_run() {
    if [ -t 0 ]; then
        "$@" <&0 &
    else
        "$@" </dev/null &
    fi
    local pid=$!
    echo "$pid" >>"$wine_session_rt/pids"
    wait "$pid"
}

if [ "${BASH_SOURCE[0]}" = "$0" ]; then
    set -uo pipefail
    [ $# -gt 0 ] || { sed -n '2,12s/^# \{0,1\}//p' "$0" >&2; exit 2; }
    wine_session_start
    wine_session_run "$@"
fi
