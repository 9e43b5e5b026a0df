#!/usr/bin/env bash
# The same 60,000-row class as UTF-8 .csv and as .xls (make_layout_files.py),
# each read by a whole `score-report FILE --json` run, side by side: the median
# wall and CPU time of RUNS runs (after two warm-up runs, the two files taking
# turns so that a change in load hits both), the peak RSS and the ratio of the
# .csv to the .xls. Target: the .csv within 1.1 times the .xls.
#
#   bench/text_side_by_side.sh
#
# BUILD_DIR (default build-bench) is the tree holding score-report (built
# here); WORKBOOK_DIR (default BUILD_DIR/workbooks) receives the files. RUNS
# defaults to 20.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(dirname "$here")
build=${BUILD_DIR:-$root/build-bench}
workbooks=${WORKBOOK_DIR:-$build/workbooks}
runs=${RUNS:-20}
python=/usr/bin/python3

if [[ ! -f $build/CMakeCache.txt ]]; then
    cmake -S "$root" --preset bench -B "$build" >/dev/null
fi
cmake --build "$build" --target score-report >/dev/null
"$python" "$here/make_layout_files.py" "$workbooks"

"$python" - "$build/bin/score-report" "$runs" \
    "$workbooks/class-xlwt.xls" "$workbooks/class-utf8.csv" <<'EOF_PY'
import os
import resource
import statistics
import subprocess
import sys
import time

program, runs, files = sys.argv[1], int(sys.argv[2]), sys.argv[3:]


def run(path):
    """Wall and CPU milliseconds of one run, and its peak RSS in MiB."""
    before = resource.getrusage(resource.RUSAGE_CHILDREN)
    start = time.perf_counter()
    pid = os.posix_spawn(program, [program, path, "--json"], os.environ,
                         file_actions=[(os.POSIX_SPAWN_OPEN, 1, os.devnull, os.O_WRONLY, 0)])
    _, status, usage = os.wait4(pid, 0)
    wall = (time.perf_counter() - start) * 1000
    if os.waitstatus_to_exitcode(status) != 0:
        sys.exit(f"{program} {path} --json failed")
    return wall, (usage.ru_utime + usage.ru_stime) * 1000, usage.ru_maxrss / 1024


figures = {path: [] for path in files}
for round_number in range(runs + 2):
    for path in files:
        result = run(path)
        if round_number >= 2:
            figures[path].append(result)

medians = {}
print(f"{'file':<22} {'size':>9} {'median wall':>12} {'median CPU':>11} {'peak RSS':>10}")
for path, results in figures.items():
    wall = statistics.median(r[0] for r in results)
    cpu = statistics.median(r[1] for r in results)
    rss = max(r[2] for r in results)
    medians[path] = (wall, cpu)
    size = os.path.getsize(path) / 1e6
    print(f"{os.path.basename(path):<22} {size:>6.1f} MB {wall:>9.2f} ms {cpu:>8.2f} ms "
          f"{rss:>6.1f} MiB")
xls, csv = (medians[path] for path in files)
for name, index in (("wall", 0), ("CPU", 1)):
    ratio = csv[index] / xls[index]
    verdict = "ok" if ratio <= 1.1 else "MISSED"
    print(f".csv / .xls ({name} time): {ratio:.2f} {verdict} (target within 1.1)")
print(f"Medians of {runs} runs of score-report FILE --json each.")
EOF_PY
