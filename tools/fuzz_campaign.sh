#!/usr/bin/env bash
# A long fuzzing run of one libFuzzer target, niced, in a corpus directory of
# its own that grows from run to run. The seeds are those of
# fuzz/run_fuzzers.sh: the test fixtures for import_fuzzer, a few typed
# numbers for fieldnumber_fuzzer, the help text in GBK for helpfile_fuzzer,
# the .xlsx/.xlsm and .ods fixtures for xlsx_fuzzer and ods_fuzzer, all the
# zip-based fixtures for zip_fuzzer.
# The log keeps libFuzzer's final statistics (executions, cov/ft, peak RSS);
# any crash, hang or leak lands in DIR/findings/TARGET-*.
#
#   tools/fuzz_campaign.sh TARGET SECONDS [DIR]
#
# The targets must already be built in FUZZ_BUILD_DIR (default build-fuzz,
# e.g. by fuzz/run_fuzzers.sh). DIR defaults to FUZZ_BUILD_DIR/campaign.
set -euo pipefail

target=${1:?target}
seconds=${2:?seconds}
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${FUZZ_BUILD_DIR:-$root/build-fuzz}
work=${3:-$build/campaign}
corpus=$work/$target
mkdir -p "$corpus" "$work/findings"

case $target in
import_fuzzer)
    find "$root/tests/fixtures" -type f ! -name '*.py' ! -name '*.md' ! -name '*.json' \
        -size -257k -exec cp {} "$corpus/" \;
    extra=(-dict="$root/fuzz/import.dict" -use_value_profile=1 -max_len=262144)
    ;;
fieldnumber_fuzzer)
    numbers=("85" " 8 5 .5" "-12.5e+3" "1E-07" "&H7FFF" "&o777" "1e400"
        "0.000000000000000000001e-400" "+.5" "  98 分" "1.23456789012346E+16" "32767.5"
        "-32768.5" $'7\t\n5')
    for i in "${!numbers[@]}"; do printf '%s' "${numbers[$i]}" >"$corpus/seed-$i"; done
    extra=(-dict="$root/fuzz/fieldnumber.dict" -max_len=4096)
    ;;
helpfile_fuzzer)
    iconv -f UTF-8 -t GBK "$root/windows/help/Help.txt" >"$corpus/seed-help"
    printf 'a\r\n\xb0\xef\xd6\xfa\rb\nc\r\r\n\x81\r\xff' >"$corpus/seed-gbk"
    extra=(-max_len=65536)
    ;;
xlsx_fuzzer | ods_fuzzer)
    kind=${target%_fuzzer}
    find "$root/tests/fixtures" -maxdepth 1 -type f \( -name "*.$kind" -o -name "*.${kind}m" \) \
        -size -257k -exec cp {} "$corpus/" \;
    extra=(-dict="$root/fuzz/$kind.dict" -max_len=262144)
    ;;
zip_fuzzer)
    find "$root/tests/fixtures" -maxdepth 1 -type f \( -name '*.xlsx' -o -name '*.xlsm' \
        -o -name '*.ods' -o -name '*.zip' \) -size -257k -exec cp {} "$corpus/" \;
    extra=(-max_len=262144)
    ;;
*)
    echo "fuzz_campaign.sh: unknown target $target" >&2
    exit 64
    ;;
esac

export ASAN_OPTIONS=${ASAN_OPTIONS:-abort_on_error=1:detect_leaks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
log=$work/$target.log
echo "== $target for ${seconds}s from $(date -u +%H:%M:%S), log $log"
rc=0
nice -n 10 "$build/fuzz/$target" "$corpus" -max_total_time="$seconds" -timeout=10 \
    -rss_limit_mb=2048 -malloc_limit_mb=512 -print_final_stats=1 \
    -artifact_prefix="$work/findings/$target-" "${extra[@]}" >"$log" 2>&1 || rc=$?
echo "== $target ended $(date -u +%H:%M:%S) with status $rc"
grep -E '^(#[0-9]+[[:space:]]+(DONE|INITED)|Done [0-9]+ runs|stat::)' "$log" || true
find "$work/findings" -maxdepth 1 -name "$target-*" -type f
exit "$rc"
