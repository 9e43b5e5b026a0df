#!/bin/bash
# Installs what is missing, builds the program in the release tree (build/,
# shared with scripts/test.sh) and starts its main window.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/install-deps.sh"
cmake -S "$root" --preset release >/dev/null
cmake --build "$root/build" --target score-analysis score-report -- -j"$(nproc)"
exec "$root/build/bin/score-analysis" "$@"
