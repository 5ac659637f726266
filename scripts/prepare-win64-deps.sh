#!/usr/bin/env bash
# Fetches the sources of SQLite (as its amalgamation) and TinyXML-2 from their
# Debian source packages for the Windows build. The MinGW build compiles them
# (cmake/windows_deps.cmake). Cached: a second run only checks.
#   usage: scripts/prepare-win64-deps.sh [DEST]   (default build/deps)
set -euo pipefail
cd "$(dirname "$0")/.."
dest=$(mkdir -p "${1:-build/deps}" && cd "${1:-build/deps}" && pwd)

have() { [ -s "$dest/$1" ]; }
if have sqlite3/sqlite3.c && have sqlite3/sqlite3.h && have tinyxml2/tinyxml2.cpp &&
    have tinyxml2/tinyxml2.h; then
    exit 0
fi

SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO=sudo

# A fresh machine lists binary packages only: add the matching source entries
# in a file of our own, leaving the system's entries untouched.
if ! grep -rqsE '^(Types:.*deb-src|deb-src )' /etc/apt/sources.list /etc/apt/sources.list.d/; then
    tmp=$(mktemp)
    for f in /etc/apt/sources.list.d/*.sources; do
        [ -f "$f" ] && sed -E 's/^Types:.*/Types: deb-src/' "$f" >>"$tmp" && echo >>"$tmp"
    done
    if [ -s "$tmp" ]; then
        $SUDO install -m 0644 "$tmp" /etc/apt/sources.list.d/vocastra-deb-src.sources
    fi
    if [ -f /etc/apt/sources.list ] && grep -qE '^deb ' /etc/apt/sources.list; then
        sed -nE 's/^deb /deb-src /p' /etc/apt/sources.list >"$tmp"
        $SUDO install -m 0644 "$tmp" /etc/apt/sources.list.d/vocastra-deb-src.list
    fi
    rm -f "$tmp"
    $SUDO apt-get update -qq
fi

work="$dest/src"
mkdir -p "$work"
# Unpacks source package $1 into $work/$1 (once).
unpack() {
    local pkg=$1
    [ -d "$work/$pkg" ] && return 0
    local dl
    dl=$(mktemp -d "$work/dl.XXXXXX")
    (cd "$dl" && apt-get source --download-only -qq "$pkg" >/dev/null 2>&1) || {
        echo "prepare-win64-deps: cannot fetch the source package $pkg" >&2
        rm -rf "$dl"
        exit 1
    }
    (cd "$dl" && dpkg-source -x --skip-debianization ./*.dsc unpacked >/dev/null 2>&1) || {
        echo "prepare-win64-deps: cannot unpack the source package $pkg" >&2
        rm -rf "$dl"
        exit 1
    }
    mv "$dl/unpacked" "$work/$pkg"
    rm -rf "$dl"
}

if ! have sqlite3/sqlite3.c || ! have sqlite3/sqlite3.h; then
    unpack sqlite3
    top="$work/sqlite3"
    bld="$work/sqlite3-build"
    rm -rf "$bld" && mkdir -p "$bld"
    # The amalgamation is generated from the canonical sources with tclsh.
    (cd "$bld" && make -s -f "$top/main.mk" TOP="$top" BCC=gcc TCC=gcc TCLSH_CMD=tclsh \
        sqlite3.c >/dev/null 2>&1) || {
        echo "prepare-win64-deps: building the SQLite amalgamation failed" >&2
        exit 1
    }
    mkdir -p "$dest/sqlite3"
    cp "$bld/sqlite3.h" "$dest/sqlite3/sqlite3.h"
    [ -f "$bld/sqlite3ext.h" ] && cp "$bld/sqlite3ext.h" "$dest/sqlite3/"
    [ -f "$top/src/sqlite3ext.h" ] && cp "$top/src/sqlite3ext.h" "$dest/sqlite3/"
    cp "$bld/sqlite3.c" "$dest/sqlite3/sqlite3.c.part" && mv "$dest/sqlite3/sqlite3.c.part" "$dest/sqlite3/sqlite3.c"
    rm -rf "$bld"
fi

if ! have tinyxml2/tinyxml2.cpp || ! have tinyxml2/tinyxml2.h; then
    unpack tinyxml2
    mkdir -p "$dest/tinyxml2"
    cp "$work/tinyxml2/tinyxml2.h" "$dest/tinyxml2/"
    cp "$work/tinyxml2/tinyxml2.cpp" "$dest/tinyxml2/tinyxml2.cpp.part"
    mv "$dest/tinyxml2/tinyxml2.cpp.part" "$dest/tinyxml2/tinyxml2.cpp"
fi
echo "prepare-win64-deps: SQLite and TinyXML-2 sources ready in $dest"
