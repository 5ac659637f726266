#!/usr/bin/env bash
# Checks that a fuzz target that keeps the program between inputs resets it
# well: each of the first N files of a corpus (shuffled the same way every
# time) must give the same digest run alone as run after every other file of
# the corpus. The target defaults to notification_fuzz.
# Usage: scripts/fuzz-reset-check.sh corpus-dir [N] [target]   (after scripts/fuzz.sh)
set -euo pipefail
cd "$(dirname "$0")/.."
dir=$1
n=${2:-50}
bin=./build/fuzz/${3:-notification_fuzz}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
find "$dir" -maxdepth 1 -type f | shuf --random-source=<(yes) >"$work/files"
# libFuzzer names each file before running it; the first digest after the
# name is the run's (a run may be repeated for the leak checker).
VOCASTRA_FUZZ_DIGEST=1 nice -n 19 "$bin" $(cat "$work/files") 2>&1 |
    awk '/^Running: /{f=$2; next} /^digest /{if (f != "") {print f, $2; f=""}}' |
    sort >"$work/together"
head -n "$n" "$work/files" | while read -r f; do
    echo "$f $(VOCASTRA_FUZZ_DIGEST=1 nice -n 19 "$bin" "$f" 2>&1 | grep -m1 '^digest' | cut -d' ' -f2)"
done | sort >"$work/alone"
join "$work/alone" "$work/together" | awk '$2 != $3 {print "differs:", $1; bad++}
    END {print NR, "inputs compared"; exit bad > 0}'
