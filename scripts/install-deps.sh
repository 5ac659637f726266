#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need. Idempotent and
# quiet: on a prepared machine it only checks.
set -euo pipefail
packages=(
    cmake ninja-build g++ ccache pkg-config
    libgtest-dev libgmock-dev libbenchmark-dev
    libsqlite3-dev libtinyxml2-dev libfreetype-dev libicu-dev libncurses-dev
    fonts-liberation fonts-wqy-microhei fonts-wine
    clang libclang-rt-14-dev libtsan2
    g++-mingw-w64-x86-64-posix mingw-w64-tools
    wine64 xvfb xauth imagemagick nsis
    dpkg-dev tcl make
)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "installing: ${missing[*]}"
    SUDO=""
    [ "$(id -u)" -eq 0 ] || SUDO=sudo
    $SUDO apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends \
        "${missing[@]}" >/dev/null
fi
