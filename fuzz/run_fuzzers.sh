#!/usr/bin/env bash
# Builds the libFuzzer targets in a tree of their own (clang, with the address
# and undefined-behaviour sanitizers) and runs each for a short, bounded time,
# as many side by side as the machine has cores,
# over a fresh corpus seeded from the committed fixtures: every workbook and
# hostile file up to 256 KiB for import_fuzzer, the zip-based ones for
# xlsx_fuzzer, ods_fuzzer and zip_fuzzer, the text files for csv_fuzzer, the
# web pages named .xls for html_fuzzer, typed numbers for fieldnumber_fuzzer
# and the help text for helpfile_fuzzer. Exits non-zero when a target finds
# anything: a crash, a sanitizer report, a leak, an input slower than
# FUZZ_TIMEOUT seconds or one that allocates too much.
#
# Environment: FUZZ_BUILD_DIR (default build-fuzz), FUZZ_WORK_DIR (default
# .fuzz-corpus: the corpora and any findings), FUZZ_SECONDS (default 10 per
# target, import_fuzzer three times as long), FUZZ_TIMEOUT (default 10).
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${FUZZ_BUILD_DIR:-$root/build-fuzz}
work=${FUZZ_WORK_DIR:-$root/.fuzz-corpus}
seconds=${FUZZ_SECONDS:-10}
fixtures=$root/tests/fixtures
for tool in clang-14 clang++-14 cmake ninja; do
    command -v "$tool" >/dev/null || {
        echo "run_fuzzers.sh: $tool is missing (apt-get install clang-14 libclang-rt-14-dev cmake ninja-build)" >&2
        exit 2
    }
done

echo "== building the fuzz targets in $build"
cmake -S "$root" --preset fuzz -B "$build" >/dev/null
targets=(import_fuzzer fieldnumber_fuzzer helpfile_fuzzer xlsx_fuzzer ods_fuzzer zip_fuzzer csv_fuzzer
    html_fuzzer)
cmake --build "$build" --target "${targets[@]}"

rm -rf "${work:?}"
mkdir -p "${targets[@]/#/$work/}" "$work/findings"
seed() { find "$fixtures" -type f -size -257k "$@" -exec cp -t "$work/$target" {} +; }
target=import_fuzzer seed \( -name '*.xls' -o -name '*.xls?' -o -name '*.od?' -o -name '*.zip' -o -name '*.doc*' \)
target=xlsx_fuzzer seed \( -name '*.xlsx' -o -name '*.xlsm' \)
target=ods_fuzzer seed -name '*.ods'
target=csv_fuzzer seed \( -name '*.csv' -o -name '*.txt' -o -name 'plain_text.xls' \)
target=html_fuzzer seed -name 'html_*.xls'
cp "$work"/xlsx_fuzzer/* "$work"/ods_fuzzer/* "$work/zip_fuzzer/"
numbers=("85" " 8 5 .5" "-12.5e+3" "1E-07" "&H7FFF" "&o777" "1e400" "+.5" "  98 分" "32767.5")
for i in "${!numbers[@]}"; do printf '%s' "${numbers[$i]}" >"$work/fieldnumber_fuzzer/$i"; done
iconv -f UTF-8 -t GBK "$root/windows/help/Help.txt" >"$work/helpfile_fuzzer/help"
printf 'a\r\n\xb0\xef\xd6\xfa\rb\nc\r\r\n\x81\r\xff' >"$work/helpfile_fuzzer/gbk"

export ASAN_OPTIONS=${ASAN_OPTIONS:-abort_on_error=1:detect_leaks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
# The targets run side by side, one per core; each prints its lines when it
# ends, so that their reports do not interleave.
parallel=$(nproc)
run() {
    local target=$1 time=$2 log=$work/findings/$1.log
    shift 2
    local seeds
    seeds=$(ls "$work/$target" | wc -l)
    if ! "$build/fuzz/$target" "$work/$target" -max_total_time="$time" -timeout="${FUZZ_TIMEOUT:-10}" \
        -rss_limit_mb=2048 -malloc_limit_mb=512 -max_len=262144 -print_final_stats=1 \
        -artifact_prefix="$work/findings/$target-" "$@" >"$log" 2>&1 ||
        compgen -G "$work/findings/$target-*" >/dev/null; then
        {
            echo "!! $target found a problem in ${time}s; the end of $log:"
            tail -n 60 "$log"
        } >&2
        return 1
    fi
    {
        echo "== $target for ${time}s, $seeds seeds"
        grep -E '^stat::(number_of_executed_units|peak_rss_mb)' "$log" || true
    }
}
status=0
running=0
start() {
    run "$@" &
    if ((++running >= parallel)); then
        wait -n || status=1
        ((running--)) || true
    fi
}
start import_fuzzer $((3 * seconds)) -dict="$root/fuzz/import.dict" -use_value_profile=1
start fieldnumber_fuzzer "$seconds" -dict="$root/fuzz/fieldnumber.dict"
start helpfile_fuzzer "$seconds"
start xlsx_fuzzer "$seconds" -dict="$root/fuzz/xlsx.dict"
start ods_fuzzer "$seconds" -dict="$root/fuzz/ods.dict"
start zip_fuzzer "$seconds"
start csv_fuzzer "$seconds" -dict="$root/fuzz/csv.dict"
start html_fuzzer "$seconds" -dict="$root/fuzz/html.dict"
while ((running > 0)); do
    wait -n || status=1
    ((running--)) || true
done
((status == 0)) && echo "== no findings"
exit "$status"
