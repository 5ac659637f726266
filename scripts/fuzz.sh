#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for a while on its
# corpus (fuzz/corpus/<name without _fuzz>/) with its dictionary (fuzz/<name>.dict),
# one at a time. Usage: scripts/fuzz.sh [seconds] [target...]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
shift || true
cmake -S . -B build/fuzz -G Ninja -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVOCASTRA_FUZZ=ON -DVOCASTRA_TESTS=OFF >/dev/null
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
    for f in fuzz/*_fuzz.cpp; do targets+=("$(basename "$f" .cpp)"); done
fi
nice -n 19 cmake --build build/fuzz -j"$(nproc)" --target "${targets[@]}" >/dev/null
for t in "${targets[@]}"; do
    corpus="fuzz/corpus/${t%_fuzz}"
    work="build/fuzz/corpus-${t%_fuzz}"
    mkdir -p "$work"
    echo "== $t for ${seconds}s"
    rc=0
    dict=(); [ -f "fuzz/${t%_fuzz}.dict" ] && dict=(-dict="fuzz/${t%_fuzz}.dict")
    # A target's own libFuzzer options, one per line ("#" starts a comment).
    opts=(); [ -f "fuzz/${t%_fuzz}.options" ] && mapfile -t opts < <(grep -v '^#' "fuzz/${t%_fuzz}.options")
    # nice: the fuzzer shares the machine; the corpus found goes to build/.
    # The processor time too: on a shared machine executions per second of
    # wall time say more about the neighbours than about the target.
    timer=(); [ -x /usr/bin/time ] && timer=(/usr/bin/time -f "stat::cpu_seconds: %U user %S sys")
    "${timer[@]}" nice -n 19 ./build/fuzz/"$t" -max_total_time="$seconds" -print_final_stats=1 \
        "${dict[@]}" "${opts[@]}" "$work" "$corpus" >"build/fuzz/$t.log" 2>&1 || rc=$?
    grep -E "^stat::(number_of_executed_units|average_exec_per_sec|new_units_added|cpu_seconds)|^==[0-9]+==ERROR|^SUMMARY" \
        "build/fuzz/$t.log" || true
    # The coverage reached: the last status line's "cov:" (edges) and "ft:" (features).
    grep -E "^#[0-9]+.*cov: " "build/fuzz/$t.log" | tail -1 || true
    [ "$rc" -eq 0 ] || { echo "$t found a fault (build/fuzz/$t.log)"; exit 1; }
done
