#!/usr/bin/env bash
# Times `score-report --progress LAST THIS --columns auto --json` over two
# generated exams of the same students (bench/make_exam.py with a scores
# seed: the numbers and names alike, the scores not) and prints the wall
# time, the CPU time and the peak memory, beside the two exams analysed on
# their own, against the targets: 3,000 students the whole run under
# 250 ms; 100,000 students × 9 subjects the matching and the changes under
# 2 s beyond reading the exams, and under 1.5 GB.
#
#   bench/progress_benchmark.sh
#
# SCORE_REPORT (default $BUILD_DIR/bin/score-report, BUILD_DIR default
# build-bench), EXAM_DIR (default $BUILD_DIR/exam) and RUNS (default 5) may be
# set in the environment.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
runs=${RUNS:-5}
# shellcheck source=bench/measure.sh
source "$here/measure.sh"
for kind in last this; do
    seed=1
    [[ $kind == this ]] && seed=2
    if [[ ! -f $exam/progress-$kind-big/exam-20.xlsx ]]; then
        echo "== writing the $kind exam into $exam"
        /usr/bin/python3 "$here/make_exam.py" "$exam/progress-$kind-one" 1 3000 $seed
        /usr/bin/python3 "$here/make_exam.py" "$exam/progress-$kind-big" 20 100000 $seed
    fi
done

for size in one big; do
    last=$exam/progress-last-$size/ this=$exam/progress-this-$size/
    if [[ $size == one ]]; then
        echo "== 3,000 students, two exams (target: the whole run < 250 ms)"
    else
        echo "== 100,000 students × 9 subjects, two exams of 20 workbooks" \
            "(target: < 2 s beyond the two exams alone, < 1.5 GB)"
        runs=1
    fi
    echo "   progress:       $(measure --progress "$last" "$this" --columns auto --json)"
    echo "   last exam only: $(measure --subjects "$last" --columns auto --json)"
    echo "   this exam only: $(measure --subjects "$this" --columns auto --json)"
done
echo "   $(nproc) cores, load average $(cut -d' ' -f1 /proc/loadavg)"
