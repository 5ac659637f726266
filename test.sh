#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: the native unit and
# scenario tests under AddressSanitizer/UBSan, the concurrency tests under
# ThreadSanitizer, then the Windows build's unit tests and end-to-end tests
# under Wine.
set -euo pipefail
cd "$(dirname "$0")"
bash scripts/install-deps.sh

jobs=$(nproc)
echo "== native (ASan + UBSan)"
cmake --preset native-asan >/dev/null
cmake --build --preset native-asan -j"$jobs"
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
    ctest --preset native-asan -j"$jobs"

# The concurrency tests again under ThreadSanitizer: only their binary is
# built in this tree, and the stress test runs its bounded default size.
echo "== threads (ThreadSanitizer)"
cmake --preset native-tsan >/dev/null
cmake --build --preset native-tsan -j"$jobs" --target vocastra_thread_tests
TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1 suppressions=$PWD/scripts/tsan.supp" \
    ctest --preset native-tsan -R '^threads$'

if [ -f scripts/test-win64.sh ]; then
    echo "== win64 (Wine)"
    bash scripts/test-win64.sh
fi
