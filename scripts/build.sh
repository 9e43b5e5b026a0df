#!/bin/bash
# Configures and builds the tree of one preset of CMakePresets.json (release,
# debug, sanitizers, fuzz, bench). Usage: build.sh PRESET [cmake options...]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
preset="$1"
shift
# A compiler cache, where the machine has one, makes rebuilds of unchanged
# files free; the build does not need it.
launcher=()
if command -v ccache >/dev/null; then
    launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
    # Paths inside the tree are hashed relative to it, so that another clone
    # of the project hits the same cache.
    export CCACHE_BASEDIR="${CCACHE_BASEDIR:-$root}" CCACHE_NOHASHDIR="${CCACHE_NOHASHDIR:-1}"
    # The precompiled headers are cached only when ccache may ignore their
    # time stamps.
    export CCACHE_SLOPPINESS="${CCACHE_SLOPPINESS:-pch_defines,time_macros,include_file_mtime,include_file_ctime}"
fi
cmake -S "$root" --preset "$preset" "${launcher[@]}" "$@" >/dev/null
cd "$root"
cmake --build --preset "$preset" -- -j"$(nproc)"
