#!/usr/bin/env bash
# Configures and builds. Usage: scripts/build.sh [--sanitize] [extra cmake arguments]
# The build directory is build/ (build-sanitize/ with --sanitize); it is the one line on
# standard output, the build's own messages go to standard error so a failure shows.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

build_dir="$root/build"
cmake_args=()
if [[ ${1:-} == --sanitize ]]; then
    shift
    build_dir="$root/build-sanitize"
    cmake_args+=(-DLUMING_SANITIZE=ON -DLUMING_BENCH=OFF)
fi

generator=()
if [[ ! -f "$build_dir/CMakeCache.txt" ]] && command -v ninja >/dev/null 2>&1; then
    generator=(-G Ninja)
fi
cmake -S "$root" -B "$build_dir" "${generator[@]}" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    "${cmake_args[@]}" "$@" >/dev/null
cmake --build "$build_dir" --parallel "$(nproc)" >&2
echo "$build_dir"
