#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test through CTest.
# Usage: scripts/test.sh [--sanitize] [ctest arguments]
#   --sanitize  build and run with AddressSanitizer and UBSan (in build-sanitize/)
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

"$root/scripts/deps.sh"

build_args=()
if [[ ${1:-} == --sanitize ]]; then
    shift
    build_args+=(--sanitize)
    # Qt's own start-up leaks are not ours; everything else must be clean.
    export ASAN_OPTIONS=detect_leaks=0:abort_on_error=1
    export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
fi
build_dir=$("$root/scripts/build.sh" "${build_args[@]}" | tail -n 1)

export QTWEBENGINE_DISABLE_SANDBOX=1
cd "$build_dir"
ctest --output-on-failure --parallel "$(nproc)" "$@"
