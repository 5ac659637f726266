#!/usr/bin/env bash
# Runs the demo tour and compares its output with the golden transcript.
# VOCASTRA_UPDATE_GOLDEN=1 rewrites the transcript instead (review the diff).
set -euo pipefail
sim=$1
golden=$2
out=$(mktemp)
trap 'rm -f "$out"' EXIT
"$sim" demo >"$out"
if [ "${VOCASTRA_UPDATE_GOLDEN:-0}" = 1 ]; then
    cp "$out" "$golden"
    echo "updated $golden"
    exit 0
fi
if ! diff -u "$golden" "$out"; then
    echo "the demo transcript changed; if intended: VOCASTRA_UPDATE_GOLDEN=1 ctest -R demo_transcript"
    exit 1
fi
