#!/usr/bin/env bash
# Diagnostic: starts a fresh Wine session N times (scripts/wine-session.sh)
# and runs one short scenario in each, its output through a pipe as ctest
# reads it. Counts the runs whose output did not end within 30 s: a process
# that outlives the scenario and keeps the pipe open (the test driver would
# wait for it until its time-out). Needs build/win64.
#   scripts/wine-session-check.sh [N] [SCENARIO]
set -uo pipefail
cd "$(dirname "$0")/.." || exit
n=${1:-20}
scenario=${2:-second_instance_ends_at_once}
e2e=$PWD/build/win64/tests/e2e
runner=(/usr/lib/wine/wine64 "$e2e/e2e_runner.exe" "$scenario" --exe "$PWD/build/win64/vocastra.exe"
    --probe "$e2e/e2e_probe.exe" --work "$e2e/work" --source "$PWD" --skype-sim "$e2e/skype-sim.exe")
hung=0 failed=0
for i in $(seq "$n"); do
    start=$SECONDS
    out=$(scripts/wine-session.sh timeout 30 bash -c '"$@" 2>&1 | cat' _ "${runner[@]}")
    rc=$?
    case $rc in
        0) verdict=ok ;;
        124) verdict=HUNG hung=$((hung + 1)) ;;
        *) verdict="failed ($rc)" failed=$((failed + 1)) ;;
    esac
    printf '%3d %-11s %3ds  %s\n' "$i" "$verdict" $((SECONDS - start)) "${out//$'\n'/ }"
done
echo "hung: $hung of $n, failed otherwise: $failed"
[ "$hung" -eq 0 ] && [ "$failed" -eq 0 ]
