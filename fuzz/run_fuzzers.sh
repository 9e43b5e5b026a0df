#!/usr/bin/env bash
# Builds the libFuzzer targets in a tree of their own (clang, with the address
# and undefined-behaviour sanitizers) and runs each of them for a short,
# bounded time over a fresh copy of its seed corpus: the test fixtures for
# import_fuzzer, a few typed numbers for fieldnumber_fuzzer. Exits non-zero
# when a target finds anything: a crash, a sanitizer report, a leak, an input
# slower than FUZZ_TIMEOUT seconds or one that allocates too much.
#
#   fuzz/run_fuzzers.sh
#
# Environment: FUZZ_BUILD_DIR (default build-fuzz), FUZZ_WORK_DIR (default
# .fuzz-corpus; the corpora and any findings go there), FUZZ_SECONDS (default
# 45, the time of import_fuzzer; fieldnumber_fuzzer gets a third of it,
# helpfile_fuzzer, xlsx_fuzzer, ods_fuzzer and zip_fuzzer 15 seconds each),
# FUZZ_SEEDS (default tests/fixtures; every file below it up to 256 KiB but
# the scripts is a seed: workbooks of every kind, and files the readers must
# refuse cleanly),
# FUZZ_TIMEOUT (default 10 seconds per input).
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(dirname "$here")
build=${FUZZ_BUILD_DIR:-$root/build-fuzz}
work=${FUZZ_WORK_DIR:-$root/.fuzz-corpus}
seconds=${FUZZ_SECONDS:-45}
seeds=${FUZZ_SEEDS:-$root/tests/fixtures}
timeout=${FUZZ_TIMEOUT:-10}
max_len=262144

for tool in clang-14 clang++-14 cmake ninja; do
    if ! command -v "$tool" >/dev/null; then
        echo "run_fuzzers.sh: $tool is missing (apt-get install clang-14 libclang-rt-14-dev cmake ninja-build)" >&2
        exit 2
    fi
done

echo "== building the fuzz targets in $build"
export CC=clang-14 CXX=clang++-14
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_CXX_COMPILER="$(command -v clang++-14)" \
    -DSCORE_FUZZERS=ON -DSCORE_SANITIZE=OFF -DSCORE_BENCHMARKS=OFF >/dev/null
targets=(import_fuzzer fieldnumber_fuzzer helpfile_fuzzer xlsx_fuzzer ods_fuzzer zip_fuzzer)
cmake --build "$build" --target "${targets[@]}"

for target in "${targets[@]}"; do
    rm -rf "${work:?}/$target"
    mkdir -p "$work/$target"
done
rm -rf "$work/findings"
mkdir -p "$work/findings"

seed_count=0
if [[ -d $seeds ]]; then
    while IFS= read -r -d '' seed; do
        cp "$seed" "$work/import_fuzzer/seed-$seed_count-${seed##*/}"
        seed_count=$((seed_count + 1))
    done < <(find "$seeds" -type f ! -name '*.py' ! -name '*.md' -size -"$((max_len / 1024 + 1))"k \
        -print0 | sort -z)
fi
echo "== $seed_count seed files from $seeds"
if ((seed_count == 0)); then
    echo "run_fuzzers.sh: no seed files; import_fuzzer starts from nothing" >&2
fi

numbers=("85" " 8 5 .5" "-12.5e+3" "1E-07" "&H7FFF" "&o777" "1e400" "0.000000000000000000001e-400"
    "+.5" "  98 分" "1.23456789012346E+16" "32767.5" "-32768.5" $'7\t\n5')
for i in "${!numbers[@]}"; do
    printf '%s' "${numbers[$i]}" >"$work/fieldnumber_fuzzer/seed-$i"
done
iconv -f UTF-8 -t GBK "$root/windows/help/Help.txt" >"$work/helpfile_fuzzer/seed-help" ||
    cp "$root/windows/help/Help.txt" "$work/helpfile_fuzzer/seed-help"
printf 'a\r\n\xb0\xef\xd6\xfa\rb\nc\r\r\n\x81\r\xff' >"$work/helpfile_fuzzer/seed-gbk"
# The zip-based readers start from the zip-based fixtures, the container
# from all of them.
for kind in xlsx ods; do
    find "$seeds" -maxdepth 1 -type f \( -name "*.$kind" -o -name "*.${kind}m" \) \
        -size -"$((max_len / 1024 + 1))"k -exec cp {} "$work/${kind}_fuzzer/" \; 2>/dev/null || true
    cp "$work/${kind}_fuzzer/"* "$work/zip_fuzzer/" 2>/dev/null || true
done

export ASAN_OPTIONS=${ASAN_OPTIONS:-abort_on_error=1:detect_leaks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}

status=0
run() {
    local target=$1 time=$2
    shift 2
    local log=$work/findings/$target.log
    echo "== $target for ${time}s"
    local rc=0
    "$build/fuzz/$target" "$work/$target" -max_total_time="$time" -timeout="$timeout" \
        -rss_limit_mb=2048 -malloc_limit_mb=512 -max_len="$max_len" -print_final_stats=1 \
        -artifact_prefix="$work/findings/$target-" "$@" >"$log" 2>&1 || rc=$?
    grep -E '^(#[0-9]+[[:space:]]+DONE|Done [0-9]+ runs|stat::number_of_executed_units|stat::peak_rss_mb)' "$log" || true
    local findings
    findings=$(find "$work/findings" -maxdepth 1 -name "$target-*" -type f | wc -l)
    if ((rc != 0 || findings != 0)); then
        echo "!! $target found a problem (exit status $rc); the end of $log:" >&2
        tail -n 60 "$log" >&2
        find "$work/findings" -maxdepth 1 -name "$target-*" -type f >&2
        status=1
    fi
}

run import_fuzzer "$seconds" -dict="$here/import.dict" -use_value_profile=1
run fieldnumber_fuzzer "$(((seconds + 2) / 3))" -dict="$here/fieldnumber.dict"
run helpfile_fuzzer 15
run xlsx_fuzzer 15 -dict="$here/xlsx.dict"
run ods_fuzzer 15 -dict="$here/ods.dict"
run zip_fuzzer 15

if ((status == 0)); then
    echo "== no findings"
fi
exit "$status"
