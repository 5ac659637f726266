#!/usr/bin/env bash
# Installs what is missing, builds and starts the simulator: the telephone on
# a virtual handset and a stand-in client. `./run.sh demo` prints the scripted
# tour (as does `./run.sh` without a terminal); `./run.sh --script FILE` runs
# a script (see the README).
set -euo pipefail
cd "$(dirname "$0")"
bash scripts/install-deps.sh
log=$(mktemp)
trap 'rm -f "$log"' EXIT
if ! { cmake --preset native && cmake --build --preset native -j"$(nproc)" --target vocastra-sim; } \
    >"$log" 2>&1; then
    cat "$log"
    exit 1
fi
rm -f "$log"
exec ./build/native/vocastra-sim "$@"
