#!/usr/bin/env bash
# Builds a Release tree, writes the benchmark workbooks when they are missing,
# runs bench_import and measures the peak memory of one `score-report --json`
# run on each workbook, then prints a summary with the targets; then the
# start-up, report, exam, progress, slips, layout detection and text-import
# benchmarks.
#
#   bench/run_benchmarks.sh [bench_import flags...]
#
# BUILD_DIR (default build-bench) and WORKBOOK_DIR (default
# $BUILD_DIR/workbooks) may be set in the environment; REPETITIONS (default 10)
# sets how often each benchmark is repeated.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(dirname "$here")
build=${BUILD_DIR:-$root/build-bench}
workbooks=${WORKBOOK_DIR:-$build/workbooks}
repetitions=${REPETITIONS:-10}
python=/usr/bin/python3

# GNU time for the peak memory, xlwt and xlrd for the workbooks; gnumeric's
# ssconvert writes the Excel-like copy and is left out when it can't be had.
missing() {
    local package
    for package in "$@"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
            echo "$package"
    done
}
install_packages() {
    local sudo=""
    if [[ $(id -u) -ne 0 ]]; then sudo=sudo; fi
    echo "== installing $*"
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "$@" \
        >/dev/null 2>&1 || {
        $sudo apt-get update -q >/dev/null &&
            DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends \
                "$@" >/dev/null
    }
}
mapfile -t needed < <(missing time python3-xlwt python3-xlrd python3-openpyxl)
((${#needed[@]} == 0)) || install_packages "${needed[@]}"
if ! command -v ssconvert >/dev/null; then
    install_packages gnumeric || echo "gnumeric not installed: no Excel-like copy" >&2
fi

echo "== building $build (Release)"
cmake -S "$root" --preset bench -B "$build" >/dev/null
cmake --build "$build" --target bench_import bench_layout bench_startup score-report \
    score-analysis
score_report=$build/bin/score-report

echo "== workbooks in $workbooks"
"$python" "$here/make_workbooks.py" "$workbooks"
"$python" "$here/make_layout_files.py" "$workbooks"

# Labels and the files make_workbooks.py writes for them.
declare -A files=([class30]=class30.xls [large-xlwt]=large-xlwt.xls
    [large-gnumeric]=large-gnumeric.xls [large-xlsx]=large-openpyxl.xlsx
    [large-ods]=large-gnumeric.ods)
labels=()
for label in class30 large-xlwt large-gnumeric large-xlsx large-ods; do
    [[ -f $workbooks/${files[$label]} ]] && labels+=("$label")
done
arguments=()
for label in "${labels[@]}"; do
    arguments+=("$label=$workbooks/${files[$label]}")
done

echo "== bench_import ($repetitions repetitions, medians of real time)"
results=$build/bench_import.json
"$build/bench/bench_import" --benchmark_repetitions="$repetitions" \
    --benchmark_out="$results" --benchmark_out_format=json "$@" "${arguments[@]}"

echo "== peak memory of score-report WORKBOOK --json"
peaks=$build/score_report_peak_rss.txt
: >"$peaks"
for label in "${labels[@]}"; do
    report=$build/time-$label.txt
    # The highest of three runs, so that one lucky run does not set the figure.
    peak=0
    for _ in 1 2 3; do
        /usr/bin/time -v -o "$report" "$score_report" "$workbooks/${files[$label]}" --json >/dev/null
        kib=$(awk -F': ' '/Maximum resident set size/ {print $2}' "$report")
        if ((kib > peak)); then peak=$kib; fi
    done
    echo "$label $peak" >>"$peaks"
    echo "$label: $peak KiB"
done

echo
"$python" - "$results" "$peaks" <<'EOF'
import json
import sys

results, peaks = sys.argv[1], sys.argv[2]
report = json.load(open(results))
medians = {}
for run in report["benchmarks"]:
    if run.get("run_type") == "aggregate" and run.get("aggregate_name") == "median":
        factor = {"ns": 1e-6, "us": 1e-3, "ms": 1.0, "s": 1e3}[run["time_unit"]]
        name = run["run_name"].removesuffix("/real_time")
        medians[name] = (run["real_time"] * factor, run["cpu_time"] * factor,
                         run.get("child_cpu_ms"))
rss = {}
for line in open(peaks):
    label, kib = line.split()
    rss[label] = int(kib) / 1024


def targets(label):
    """Import of the 100 rows, whole score-report run, its peak memory."""
    if label in ("large-xlsx", "large-ods"):
        return 20.0, 20.0, 64.0
    return (0.5 if label.startswith("class") else 3.0), 10.0, 16.0


def verdict(value, limit):
    return "ok" if value < limit else "MISSED"


def timed(name, limit, cpu_index):
    if name not in medians:
        return "-"
    real, cpu = medians[name][0], medians[name][cpu_index]
    return f"{real:.3f} ms {verdict(real, limit)} (cpu {cpu:.3f})"


header = (f"{'workbook':<16} {'open':>9} {'import of 100 rows':>30} "
          f"{'score-report --json run':>30} {'peak RSS':>16}")
print(header)
print("-" * len(header))
for label in rss:
    import_limit, run_limit, rss_limit = targets(label)
    opened = medians.get(f"open/{label}")
    print(f"{label:<16} "
          f"{(f'{opened[0]:.3f} ms' if opened else '-'):>9} "
          f"{timed(f'import/{label}', import_limit, 1):>30} "
          f"{timed(f'score_report/{label}', run_limit, 2):>30} "
          f"{f'{rss[label]:.2f} MiB {verdict(rss[label], rss_limit)}':>16}")
print()
print("Medians of the wall-clock time over the repetitions, with the CPU time of the")
print("import (in process) or of the score-report child. Targets: import < 3 ms (large)")
print("or < 0.5 ms (class30); score-report run < 10 ms; peak RSS < 16 MiB;")
print("60,000-row .xlsx and .ods: score-report run < 20 ms, peak RSS < 64 MiB.")
print()
for label in rss:
    if f"analysis/{label}" not in medians:
        continue
    real, cpu, _ = medians[f"analysis/{label}"]
    print(f"class analysis of the 100 grid rows, {label}: {real:.4f} ms "
          f"{verdict(real, 0.05)} (target < 0.05 ms)")
    plain = medians[f"score_report/{label}"]
    analysed = medians[f"score_report_analysis/{label}"]
    ratio = analysed[0] / plain[0]
    print(f"score-report --analysis --json, {label}: {analysed[0]:.3f} ms (cpu {analysed[2]:.3f}), "
          f"{ratio:.2f} times the plain --json run {verdict(ratio, 1.10)} (target within 10 %)")
    exported = medians[f"score_report_export/{label}"]
    print(f"score-report --export x.xlsx, {label}: {exported[0]:.3f} ms (cpu {exported[2]:.3f}) "
          f"{verdict(exported[0], 30.0)} (target < 30 ms)")
load = report["context"].get("load_avg")
if load and load[0] > 1.0:
    print(f"Load average was {load[0]:.2f} on {report['context']['num_cpus']} CPUs: other work "
          "may have slowed the wall-clock figures.")
EOF

echo
echo "== bench_startup (start to the first painted main window; target under 300 ms)"
"$build/bench/bench_startup"

echo
echo "== bench_report (report window to its first painted page < 100 ms, PDF of 100 rows"
echo "   < 300 ms; the plain score-report run beside SCORE_REPORT_BASELINE's, when given)"
"$build/bench/bench_report"

echo
echo "== the whole exam (score-report --subjects; targets 150 ms and 4 s / 1 GB)"
BUILD_DIR="$build" "$here/exam_benchmark.sh"

echo
echo "== since the last exam (score-report --progress; targets 250 ms and 2 s / 1.5 GB)"
BUILD_DIR="$build" "$here/progress_benchmark.sh"

echo
echo "== the students' slips (score-report --slips; targets 3 s / 300 MB and 10 s)"
BUILD_DIR="$build" "$here/slip_benchmark.sh"

echo "== bench_layout (--detect in process on 60,000 rows; target under 5 ms)"
"$build/bench/bench_layout" --benchmark_repetitions="$repetitions" \
    xlsx="$workbooks/layout-openpyxl.xlsx" xls="$workbooks/class-xlwt.xls" \
    csv="$workbooks/class-utf8.csv"

echo
echo "== the same class as .csv and .xls (score-report --json; .csv within 1.1 times)"
BUILD_DIR="$build" WORKBOOK_DIR="$workbooks" "$here/text_side_by_side.sh"
