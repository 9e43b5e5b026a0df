#!/usr/bin/env bash
# Times whole `score-report --compare` runs over a grade of generated class
# workbooks (bench/make_grade.py) and prints, for each size, the median wall
# time and the highest peak memory, against the targets: 2,000 classes of 50
# students under 2 s and 200 MB, 60 sheets of one workbook under 100 ms.
#
#   bench/grade_benchmark.sh [CLASS COUNTS...]      (default 250 500 1000 2000)
#
# SCORE_REPORT (default $BUILD_DIR/bin/score-report, BUILD_DIR default
# build-bench, built as Release when missing), GRADE_DIR (default
# $BUILD_DIR/grade) and RUNS (default 7) may be set in the environment.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(dirname "$here")
build=${BUILD_DIR:-$root/build-bench}
grade=${GRADE_DIR:-$build/grade}
runs=${RUNS:-7}
counts=("$@")
((${#counts[@]} > 0)) || counts=(250 500 1000 2000)
score_report=${SCORE_REPORT:-$build/bin/score-report}

if [[ ! -x $score_report ]]; then
    echo "== building score-report in $build (Release)"
    cmake -S "$root" --preset bench -B "$build" >/dev/null
    cmake --build "$build" --target score-report
fi

largest=0
for count in "${counts[@]}"; do ((count > largest)) && largest=$count; done
if [[ ! -f $grade/classes/class-$(printf %04d "$largest").xlsx ]]; then
    echo "== writing $largest class workbooks and a workbook of 60 sheets into $grade"
    /usr/bin/python3 "$here/make_grade.py" "$grade/classes" "$largest"
    /usr/bin/python3 "$here/make_grade.py" --sheets "$grade/sheets60.xlsx" 60
fi

# Prints "median-ms peak-MiB" of RUNS runs of score-report with the arguments.
measure() {
    local times=() peak=0 start end kib
    for ((i = 0; i < runs; i++)); do
        start=$(date +%s%N)
        /usr/bin/time -f %M -o "$grade/time.txt" "$score_report" "$@" >/dev/null
        end=$(date +%s%N)
        times+=($(((end - start) / 1000)))
        kib=$(tail -n 1 "$grade/time.txt")
        ((kib > peak)) && peak=$kib
    done
    printf '%s\n' "${times[@]}" | sort -n |
        awk -v peak="$peak" '{t[NR] = $1} END {printf "%.1f %.1f\n", t[int((NR + 1) / 2)] / 1000, peak / 1024}'
}

echo "== $runs runs each; load average: $(cut -d' ' -f1-3 /proc/loadavg); $(nproc) cores"
printf '%-24s %-8s %12s %12s %10s\n' "grade" "output" "median ms" "peak MiB" "target"
for count in "${counts[@]}"; do
    files=()
    for ((i = 1; i <= count; i++)); do files+=("$grade/classes/class-$(printf %04d "$i").xlsx"); done
    for output in plain json xlsx; do
        case $output in
        plain) extra=() ;;
        json) extra=(--json) ;;
        xlsx) extra=(--export "$grade/out.xlsx") ;;
        esac
        read -r ms mib < <(measure --compare "${extra[@]}" "${files[@]}")
        target="-"
        ((count == 2000)) && target=$(awk -v ms="$ms" -v mib="$mib" \
            'BEGIN {print (ms < 2000 && mib < 200) ? "ok" : "MISSED"}')
        printf '%-24s %-8s %12s %12s %10s\n' "$count classes × 50" "$output" "$ms" "$mib" "$target"
    done
done
for output in plain json; do
    extra=()
    [[ $output == json ]] && extra=(--json)
    read -r ms mib < <(measure --compare "${extra[@]}" "$grade/sheets60.xlsx:*")
    printf '%-24s %-8s %12s %12s %10s\n' "60 sheets × 50" "$output" "$ms" "$mib" \
        "$(awk -v ms="$ms" 'BEGIN {print ms < 100 ? "ok" : "MISSED"}')"
done
