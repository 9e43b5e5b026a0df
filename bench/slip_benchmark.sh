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
runs=${RUNS:-3}
# shellcheck source=bench/measure.sh
source "$here/measure.sh"
if [[ ! -f $exam/one/exam-01.xlsx ]]; then
    echo "== writing the exam into $exam"
    /usr/bin/python3 "$here/make_exam.py" "$exam/one" 1 3000
fi
out=$exam/slips
mkdir -p "$out"
# The folder of one PDF per student is written anew by every run.
before_each='rm -rf "$out/each"'

slips=(--slips "$exam/one/exam-01.xlsx" --columns auto --preset senior)
echo "== 3,000 students' strips as one PDF (target < 3 s, < 300 MB)"
measure "${slips[@]}" --export "$out/strips.pdf"
echo "== and one PDF per student into a folder (target < 10 s)"
measure "${slips[@]}" --export "$out/strips.pdf" --per-student-folder "$out/each"
echo "   $(find "$out/each" -name '*.pdf' | wc -l) files, $(nproc) cores," \
    "load average $(cut -d' ' -f1 /proc/loadavg)"
