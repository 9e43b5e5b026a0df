#!/bin/bash
# Configures and builds the tree of one preset of CMakePresets.json (release,
# debug, sanitizers, fuzz, bench). Usage: build.sh PRESET [cmake options...]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
preset="$1"
shift
cmake -S "$root" --preset "$preset" "$@" >/dev/null
cd "$root"
cmake --build --preset "$preset" -- -j"$(nproc)"
