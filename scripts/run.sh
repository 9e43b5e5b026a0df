#!/bin/bash
# Installs what is missing, builds the program and starts its main window.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh" "$root/build" -DCMAKE_BUILD_TYPE=Release
exec "$root/build/bin/score-analysis" "$@"
