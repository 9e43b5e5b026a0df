#!/usr/bin/env bash
# Times whole `score-report --subjects --columns auto --json` runs over
# generated exams (bench/make_exam.py) and prints the median wall time, the
# CPU time and the peak memory, against the targets: one sheet of 3,000
# students × 9 subjects under 150 ms; 100,000 students in 20 workbooks under
# 4 s and 1 GB.
#
#   bench/exam_benchmark.sh
#
# SCORE_REPORT (default $BUILD_DIR/bin/score-report, BUILD_DIR default
# build-bench), EXAM_DIR (default $BUILD_DIR/exam) and RUNS (default 5) may be
# set in the environment.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
runs=${RUNS:-5}
# shellcheck source=bench/measure.sh
source "$here/measure.sh"
if [[ ! -f $exam/big/exam-20.xlsx ]]; then
    echo "== writing the exams into $exam"
    /usr/bin/python3 "$here/make_exam.py" "$exam/one" 1 3000
    /usr/bin/python3 "$here/make_exam.py" "$exam/big" 20 100000
fi

echo "== one sheet, 3,000 students × 9 subjects (target < 150 ms)"
measure --subjects "$exam/one/exam-01.xlsx" --columns auto --json
echo "== 20 workbooks, 100,000 students × 9 subjects (target < 4 s, < 1 GB)"
RUNS=1 runs=1 measure --subjects "$exam/big/" --columns auto --json
