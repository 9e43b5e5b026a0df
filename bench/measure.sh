# Sourced by the exam, progress and slip benchmarks after they set `here`
# (their folder) and `runs`: finds the build and the exams' folder, builds
# score-report and its PDF module when either is missing, and gives measure.
root=$(dirname "$here")
build=${BUILD_DIR:-$root/build-bench}
exam=${EXAM_DIR:-$build/exam}
score_report=${SCORE_REPORT:-$build/bin/score-report}

if [[ ! -x $score_report || ! -f $(dirname "$score_report")/score-report-pdf.so ]]; then
    echo "== building score-report and its PDF module in $build (Release)"
    cmake -S "$root" --preset bench -B "$build" >/dev/null
    cmake --build "$build" --target score-report score-report-pdf
fi
mkdir -p "$exam"

# measure ARGS…: runs "$score_report" ARGS… $runs times and prints
# "median-wall-ms wall, cpu-ms CPU, peak-MiB peak" (GNU time into $exam/time.txt).
# The command in $before_each, when set, runs before each run.
measure() {
    for ((i = 0; i < runs; i++)); do
        if [[ -n ${before_each:-} ]]; then eval "$before_each"; fi
        /usr/bin/time -f '%e %U %S %M' -o "$exam/time.txt" "$score_report" "$@" >/dev/null
        tail -n 1 "$exam/time.txt"
    done | sort -n | awk '{w[NR] = $1; c[NR] = $2 + $3; if ($4 > m) m = $4}
        END {i = int((NR + 1) / 2); printf "%.0f ms wall, %.0f ms CPU, %.1f MiB peak\n",
             w[i] * 1000, c[i] * 1000, m / 1024}'
}
