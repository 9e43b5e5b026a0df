# measure ARGS…: runs "$score_report" ARGS… $runs times and prints
# "median-wall-ms wall, cpu-ms CPU, peak-MiB peak" (GNU time into $exam/time.txt).
# Sourced by the exam and progress benchmarks, which set score_report, runs
# and exam.
measure() {
    for ((i = 0; i < runs; i++)); do
        /usr/bin/time -f '%e %U %S %M' -o "$exam/time.txt" "$score_report" "$@" >/dev/null
        tail -n 1 "$exam/time.txt"
    done | sort -n | awk '{w[NR] = $1; c[NR] = $2 + $3; if ($4 > m) m = $4}
        END {i = int((NR + 1) / 2); printf "%.0f ms wall, %.0f ms CPU, %.1f MiB peak\n",
             w[i] * 1000, c[i] * 1000, m / 1024}'
}
