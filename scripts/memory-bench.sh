#!/usr/bin/env bash
# The memory benchmark of the window (growth per programme, the first Flash movie, the whole
# process tree beside a bare program with the same parts), in an X server and a temporary
# directory of its own. Build first (scripts/build.sh). Arguments go to the benchmark:
# --plays N (30), --warmup N (5), --mixed N (200), --idle SECONDS (5), --kinds video,audio,flash.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
bench="${BUILD_DIR:-$root/build}/tests/bench/playback/luming_memory_bench"
TMPDIR=$(mktemp -d)
export TMPDIR
trap 'rm -rf "$TMPDIR"' EXIT
export QTWEBENGINE_DISABLE_SANDBOX=1
echo "load before: $(cut -d' ' -f1-3 /proc/loadavg)"
xvfb-run -a -s "-screen 0 1280x1024x24" "$bench" "$@" 2>"$TMPDIR/stderr" ||
    { tail -n 20 "$TMPDIR/stderr" >&2; exit 1; }
