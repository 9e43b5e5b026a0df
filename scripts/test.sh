#!/bin/bash
# Installs what is missing, builds, and runs every test twice: in the ordinary
# build and under AddressSanitizer + UndefinedBehaviorSanitizer. Then runs the
# fuzzers for a short while.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
export QT_QPA_PLATFORM=offscreen
cd "$root" # where ctest finds CMakePresets.json

"$root/scripts/install-deps.sh"
python3 "$root/scripts/count_lines.py"

echo "== build and test =="
"$root/scripts/build.sh" release
ctest --preset release -j"$(nproc)" | tee "$root/build/ctest.log"

echo "== build and test with AddressSanitizer and UndefinedBehaviorSanitizer =="
"$root/scripts/build.sh" sanitizers
ctest --preset sanitizers -j"$(nproc)" | tee "$root/build-asan/ctest.log"

echo "== fuzzing =="
"$root/fuzz/run_fuzzers.sh"

# Every step above stops the script on a failure, so reaching here means all
# of them passed: count the test programs of both builds.
count() { sed -n 's/.* tests failed out of \([0-9]*\).*/\1/p' "$1" | tail -1; }
total=$(($(count "$root/build/ctest.log") + $(count "$root/build-asan/ctest.log")))
python3 "$root/scripts/count_lines.py"
echo "tests: $total passed, 0 failed"
