#!/bin/bash
# Installs what is missing, builds the program and starts its main window.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/install-deps.sh"
cmake -S "$root" -B "$root/build-run" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$root/build-run" --target score-analysis score-report -- -j"$(nproc)"
exec "$root/build-run/bin/score-analysis" "$@"
