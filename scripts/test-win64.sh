#!/usr/bin/env bash
# The Windows build and its tests under Wine: builds the win64 preset, then
# runs its unit tests and the end-to-end scenarios in a Wine session of their
# own (scripts/wine-session.sh: a throw-away prefix, its own Xvfb display).
# Called by test.sh; works without a terminal and as root.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)

bash scripts/prepare-win64-deps.sh build/deps >/dev/null
log=$(mktemp)
if ! { cmake --preset win64 && cmake --build --preset win64 -j"$jobs"; } >"$log" 2>&1; then
    cat "$log"
    rm -f "$log"
    exit 1
fi
rm -f "$log"

# The session (and W, the Wine directory) come from wine-session.sh.
. scripts/wine-session.sh
# The fault cycle scenarios run a short count here; 100 of each run by hand.
export VOCASTRA_E2E_CYCLES=${VOCASTRA_E2E_CYCLES:-10}
wine_session_start
wine_session_run ctest --preset win64 -j"$jobs"

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
    # The tray menu in each language (menu-N) and every settings page in each
    # language (sheet-LANGUAGE-PAGE), at 96 and at 144 DPI (sheet144-...).
    local f
    for f in "$work"/tray_menu/menu-*.bmp "$work"/settings_pages/sheet-*.bmp \
        "$work"/settings_dpi144/sheet144-*.bmp; do
        [ -f "$f" ] && /usr/bin/convert "$f" "$out/$(basename "${f%.bmp}").png"
    done
}
pictures >/dev/null 2>&1 || true
