#!/usr/bin/env bash
# The Windows build and its tests under Wine: builds the win64 preset, then
# runs its unit tests and the end-to-end scenarios in a throw-away Wine prefix
# on a display of its own (Xvfb), with one persistent wineserver for the run.
# Called by test.sh; works without a terminal and as root.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
W=/usr/lib/wine
jobs=$(nproc)

bash scripts/prepare-win64-deps.sh build/deps >/dev/null
log=$(mktemp)
if ! { cmake --preset win64 && cmake --build --preset win64 -j"$jobs"; } >"$log" 2>&1; then
    cat "$log"
    rm -f "$log"
    exit 1
fi
rm -f "$log"

# Everything Wine touches lives under build/wine: the prefix (copied afresh
# each run from a prepared base, which costs a second instead of a fresh
# wineboot), and a home of its own for the sound setting.
wine_dir=$root/build/wine
base=$wine_dir/base
export WINEDEBUG=-all WINEARCH=win64 WINEDLLOVERRIDES="mscoree,mshtml="
export WINEPREFIX=$wine_dir/prefix

xvfb_pid=""
cleanup() {
    local rc=$?
    if [ -d "$WINEPREFIX" ]; then
        "$W/wineserver64" -k >/dev/null 2>&1 || true
        "$W/wineserver64" -w >/dev/null 2>&1 || true
    fi
    if [ -n "$xvfb_pid" ]; then
        kill "$xvfb_pid" 2>/dev/null || true
        wait "$xvfb_pid" 2>/dev/null || true
    fi
    exit "$rc"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# A display nobody else uses.
display=""
for n in $(seq 90 140); do
    if [ ! -e "/tmp/.X$n-lock" ] && [ ! -e "/tmp/.X11-unix/X$n" ]; then
        display=$n
        break
    fi
done
[ -n "$display" ] || { echo "test-win64: no free X display number" >&2; exit 1; }
Xvfb ":$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do
    [ -e "/tmp/.X11-unix/X$display" ] && break
    kill -0 "$xvfb_pid" 2>/dev/null || { echo "test-win64: Xvfb did not start" >&2; exit 1; }
    sleep 0.05
done
export DISPLAY=":$display"

# Wine's sound through ALSA: a null device, set only in this home.
export HOME=$wine_dir/home
mkdir -p "$HOME"
printf 'pcm.!default { type null }\nctl.!default { type null }\n' >"$HOME/.asoundrc"

if [ ! -f "$base/.ready" ]; then
    rm -rf "$base"
    mkdir -p "$base"
    WINEPREFIX=$base "$W/wine64" wineboot -i >/dev/null 2>&1
    WINEPREFIX=$base "$W/wineserver64" -w
    touch "$base/.ready"
fi
rm -rf "$WINEPREFIX"
cp -a "$base" "$WINEPREFIX"

"$W/wineserver64" -p
# One process on the desktop for the whole run keeps Wine's desktop up, so no
# scenario waits for it to close.
"$W/wine64" build/win64/tests/e2e/e2e_probe.exe hold >/dev/null 2>&1 &

ctest --preset win64 -j"$jobs"

# Pictures to look at, not tests; they never fail. The desktop with the
# program running (its face is the tray icon): build/win64/screenshots/running.png.
# The tray icon in its three states as the tray scenario read them off the
# screen, enlarged side by side: build/win64/screenshots/tray-states.png. The
# handset's display (main and ringing screens, drawn by the Windows text
# renderer) from the call scenario: build/win64/screenshots/handset-screens.png.
shot() {
    local dir=build/win64/screenshots exe=build/win64/tests/e2e/work/never_visible/vocastra.exe probe=build/win64/tests/e2e/e2e_probe.exe
    mkdir -p "$dir"
    "$W/wine64" "$exe" >/dev/null 2>&1 &
    local pid=$!
    for _ in $(seq 100); do
        "$W/wine64" "$probe" find >/dev/null 2>&1 && break
        sleep 0.1
    done
    /usr/bin/import -display "$DISPLAY" -window root "$dir/running.png" >/dev/null 2>&1 || true
    "$W/wine64" "$probe" quit >/dev/null 2>&1 || true
    for _ in $(seq 50); do
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
}
shot || true
pictures() {
    local work=build/win64/tests/e2e/work out=build/win64/screenshots
    local tray=$work/tray_icon call=$work/client_incoming_call
    if [ -f "$tray/tray-3-ready.bmp" ]; then
        /usr/bin/convert "$tray/tray-1-no-handset.bmp" "$tray/tray-2-no-client.bmp" \
            "$tray/tray-3-ready.bmp" -scale 800% +append "$out/tray-states.png"
    fi
    if [ -f "$call/handset-ringing.pbm" ]; then
        /usr/bin/convert "$call/handset-main.pbm" "$call/handset-ringing.pbm" -scale 400% \
            -bordercolor gray -border 4 +append "$out/handset-screens.png"
    fi
}
pictures >/dev/null 2>&1 || true
