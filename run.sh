#!/usr/bin/env bash
# Installs what is missing, builds and starts the simulator: the telephone on
# a virtual handset and a stand-in client. `./run.sh demo` runs the scripted
# tour; so does `./run.sh` when there is no terminal.
set -euo pipefail
cd "$(dirname "$0")"
bash scripts/install-deps.sh
cmake --preset native >/dev/null
cmake --build --preset native -j"$(nproc)" >/dev/null
if [ $# -eq 0 ] && ! [ -t 0 ] || ! [ -t 1 ]; then
    set -- demo
fi
exec ./build/native/vocastra-sim "$@"
