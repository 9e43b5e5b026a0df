#!/usr/bin/env bash
# Times `score-report --slips` over a generated class of 3,000 students × 9
# subjects (bench/make_exam.py) and prints the wall time, the CPU time and
# the peak memory, against the targets: the strips of all 3,000 as one PDF
# under 3 s and 300 MB; one PDF per student (with the strips) under 10 s.
#
#   bench/slip_benchmark.sh
#
# SCORE_REPORT (default $BUILD_DIR/bin/score-report, BUILD_DIR default
# build-bench), EXAM_DIR (default $BUILD_DIR/exam) and RUNS (default 3) may be
# set in the environment.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(dirname "$here")
build=${BUILD_DIR:-$root/build-bench}
exam=${EXAM_DIR:-$build/exam}
runs=${RUNS:-3}
score_report=${SCORE_REPORT:-$build/bin/score-report}

if [[ ! -x $score_report || ! -f $(dirname "$score_report")/score-report-pdf.so ]]; then
    echo "== building score-report and its PDF module in $build (Release)"
    cmake -S "$root" --preset bench -B "$build" >/dev/null
    cmake --build "$build" --target score-report score-report-pdf
fi
if [[ ! -f $exam/one/exam-01.xlsx ]]; then
    echo "== writing the exam into $exam"
    /usr/bin/python3 "$here/make_exam.py" "$exam/one" 1 3000
fi
out=$exam/slips
mkdir -p "$out"

# Prints "median-wall-ms cpu-ms peak-MiB" of RUNS runs with the arguments,
# the folder of PDFs emptied before each run.
measure() {
    for ((i = 0; i < runs; i++)); do
        rm -rf "$out/each"
        /usr/bin/time -f '%e %U %S %M' -o "$out/time.txt" "$score_report" "$@" >/dev/null
        tail -n 1 "$out/time.txt"
    done | sort -n | awk '{w[NR] = $1; c[NR] = $2 + $3; if ($4 > m) m = $4}
        END {i = int((NR + 1) / 2); printf "%.0f ms wall, %.0f ms CPU, %.1f MiB peak\n",
             w[i] * 1000, c[i] * 1000, m / 1024}'
}

slips=(--slips "$exam/one/exam-01.xlsx" --columns auto --preset senior)
echo "== 3,000 students' strips as one PDF (target < 3 s, < 300 MB)"
measure "${slips[@]}" --export "$out/strips.pdf"
echo "== and one PDF per student into a folder (target < 10 s)"
measure "${slips[@]}" --export "$out/strips.pdf" --per-student-folder "$out/each"
echo "   $(find "$out/each" -name '*.pdf' | wc -l) files, $(nproc) cores," \
    "load average $(cut -d' ' -f1 /proc/loadavg)"
