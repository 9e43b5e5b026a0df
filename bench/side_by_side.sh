#!/usr/bin/env bash
# Our import side by side with other .xls readers on the same workbooks, each
# reading what the import reads (sheet "Sheet1", rows 2..101, columns 1..3):
#
#   score-report   our whole program: `score-report WORKBOOK --json`
#   in process     our import alone, bench_import's import/LABEL benchmark
#   xlrd           python3-xlrd, a one-line script (on_demand, one sheet)
#   FreeXL         libfreexl, bench/freexl_cells.c
#   floor          a Qt Core process that opens the file and reads 4 KiB,
#                  bench/read_floor.cpp: no reader can start faster
#   whole file     the same process reading the whole file (read_floor
#                  --whole): the least any reader of a sheet stored without
#                  a row index can do, since such a sheet must be walked
#                  to its end
#
# For every process it prints the median wall time of RUNS runs (hyperfine,
# without a shell, after two warm-up runs), the peak RSS (the highest of three
# /usr/bin/time -v runs) and score-report's ratio to it.
#
#   bench/side_by_side.sh [WORKBOOK...]
#
# BUILD_DIR (default build-bench) is a Release tree with score-report and
# bench_import (bench/run_benchmarks.sh makes one; this script builds the two
# targets there); the FreeXL and floor programs are compiled into
# BUILD_DIR/side_by_side with gcc/g++. Without arguments the workbooks are
# class30.xls, large-xlwt.xls and large-gnumeric.xls of WORKBOOK_DIR (default
# BUILD_DIR/workbooks, written by bench/make_workbooks.py). RUNS defaults to 10.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(dirname "$here")
build=${BUILD_DIR:-$root/build-bench}
workbooks=${WORKBOOK_DIR:-$build/workbooks}
runs=${RUNS:-10}
python=/usr/bin/python3
out=$build/side_by_side
mkdir -p "$out"

missing=()
for package in hyperfine libfreexl-dev python3-xlrd time gcc g++ pkg-config; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
        missing+=("$package")
done
if ((${#missing[@]})); then
    sudo=""
    if [[ $(id -u) -ne 0 ]]; then sudo=sudo; fi
    echo "== installing ${missing[*]}"
    $sudo apt-get update -q >/dev/null
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends \
        "${missing[@]}" >/dev/null
fi

if [[ ! -f $build/CMakeCache.txt ]]; then
    cmake -S "$root" --preset bench -B "$build" >/dev/null
fi
cmake --build "$build" --target score-report bench_import >/dev/null
score_report=$build/bin/score-report
gcc -O2 -Wall -Wextra -o "$out/freexl_cells" "$here/freexl_cells.c" -lfreexl
# shellcheck disable=SC2046
g++ -O2 -Wall -Wextra -std=c++20 -fPIC -o "$out/read_floor" "$here/read_floor.cpp" \
    $(pkg-config --cflags --libs Qt6Core)

if (($# == 0)); then
    set -- "$workbooks/class30.xls" "$workbooks/large-xlwt.xls" "$workbooks/large-gnumeric.xls"
fi
xlrd_script='import sys, xlrd; book = xlrd.open_workbook(sys.argv[1], on_demand=True); sheet = book.sheet_by_name("Sheet1"); cells = [sheet.cell_value(r, c) for r in range(1, min(101, sheet.nrows)) for c in range(min(3, sheet.ncols))]'

peak_kib() {
    local best=0 kib
    for _ in 1 2 3; do
        /usr/bin/time -v -o "$out/time.txt" "$@" >/dev/null
        kib=$(awk -F': ' '/Maximum resident set size/ {print $2}' "$out/time.txt")
        if ((kib > best)); then best=$kib; fi
    done
    echo "$best"
}

: >"$out/results.tsv"
for workbook in "$@"; do
    label=$(basename "$workbook" .xls)
    echo "== $label ($(du -h "$workbook" | cut -f1))" >&2
    names=(score-report xlrd FreeXL floor "whole file")
    commands=(
        "$score_report $workbook --json"
        "$python -c '$xlrd_script' $workbook"
        "$out/freexl_cells $workbook"
        "$out/read_floor $workbook"
        "$out/read_floor --whole $workbook"
    )
    hyperfine -N --runs "$runs" --warmup 2 --style none --export-json "$out/$label.json" \
        "${commands[@]}" >/dev/null 2>"$out/$label.hyperfine.txt"
    medians=$("$python" -c 'import json, sys
for r in json.load(open(sys.argv[1]))["results"]:
    print(r["median"] * 1000)' "$out/$label.json")
    mapfile -t medians <<<"$medians"
    rss=(
        "$(peak_kib "$score_report" "$workbook" --json)"
        "$(peak_kib "$python" -c "$xlrd_script" "$workbook")"
        "$(peak_kib "$out/freexl_cells" "$workbook")"
        "$(peak_kib "$out/read_floor" "$workbook")"
        "$(peak_kib "$out/read_floor" --whole "$workbook")"
    )
    for i in "${!names[@]}"; do
        printf '%s\t%s\t%s\t%s\n' "$label" "${names[$i]}" "${medians[$i]}" "${rss[$i]}" \
            >>"$out/results.tsv"
    done
    # Our import in process: bench_import's median of RUNS repetitions.
    "$build/bench/bench_import" --benchmark_filter="^import/" --benchmark_repetitions="$runs" \
        --benchmark_out="$out/$label.bench.json" --benchmark_out_format=json \
        "$label=$workbook" >/dev/null 2>&1
    "$python" -c 'import json, sys
for run in json.load(open(sys.argv[1]))["benchmarks"]:
    if run.get("aggregate_name") == "median":
        factor = {"ns": 1e-6, "us": 1e-3, "ms": 1.0, "s": 1e3}[run["time_unit"]]
        print("%s\tin process\t%s\t-" % (sys.argv[2], run["real_time"] * factor))' \
        "$out/$label.bench.json" "$label" >>"$out/results.tsv"
done

"$python" - "$out/results.tsv" <<'EOF'
import sys

rows = [line.rstrip("\n").split("\t") for line in open(sys.argv[1])]
by_label = {}
for label, name, ms, kib in rows:
    by_label.setdefault(label, {})[name] = (float(ms), None if kib == "-" else int(kib) / 1024)
header = f"{'workbook':<16} {'reader':<13} {'median wall':>12} {'peak RSS':>11} {'ours/it (time)':>15} {'ours/it (RSS)':>14}"
print(header)
print("-" * len(header))
for label, readers in by_label.items():
    ours_ms, ours_rss = readers["score-report"]
    for name in ("score-report", "in process", "xlrd", "FreeXL", "floor", "whole file"):
        if name not in readers:
            continue
        ms, rss = readers[name]
        time_ratio = "" if name == "score-report" else f"{ours_ms / ms:.2f}"
        rss_text = "-" if rss is None else f"{rss:.1f} MiB"
        rss_ratio = "" if rss is None or name == "score-report" else f"{ours_rss / rss:.2f}"
        print(f"{label:<16} {name:<13} {ms:>9.3f} ms {rss_text:>11} {time_ratio:>15} {rss_ratio:>14}")
print()
print("Medians of the wall time; peak RSS the highest of three runs. 'in process' is")
print("our import of the 100 rows inside bench_import, without starting a process.")
EOF
