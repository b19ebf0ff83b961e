#!/usr/bin/env bash
# Installs what is missing, builds, lays out the demo installation under build/demo/ and starts
# the client from it.
# Usage: scripts/run.sh [--headless SECONDS]
#   With no display, or with --headless, the client runs in a private Xvfb for SECONDS
#   (default 10) and screenshots are saved to build/demo/screenshots/.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

headless_seconds=""
while (($#)); do
    case $1 in
    --headless)
        headless_seconds=${2:?--headless needs a number of seconds}
        shift 2
        ;;
    *)
        echo "usage: scripts/run.sh [--headless SECONDS]" >&2
        exit 64
        ;;
    esac
done
if [[ -z $headless_seconds && -z ${DISPLAY:-} ]]; then
    headless_seconds=10
fi

"$root/scripts/deps.sh"
build_dir=$("$root/scripts/build.sh" | tail -n 1)

# The suite layout: <suite>/Config/Source.ini marks the suite, <suite>/<edition>/ is the
# edition's own directory with the executable and its Config/, Resource/xml/, DL/ and Caches/.
suite="$build_dir/demo"
edition="$suite/poetry"
mkdir -p "$suite/Config" "$suite/Resource/Html/offline" "$edition/Resource/xml" \
    "$suite/screenshots"
touch "$suite/Config/Source.ini"
install -m 755 "$build_dir/src/app/luming" "$edition/luming"
"$root/demo/make-catalogue.sh" "$edition/Resource/xml/26.xml"

export QTWEBENGINE_DISABLE_SANDBOX=1
if [[ -z ${XDG_RUNTIME_DIR:-} ]]; then
    export XDG_RUNTIME_DIR="$suite/.runtime"
    mkdir -p -m 700 "$XDG_RUNTIME_DIR"
fi

if [[ -z $headless_seconds ]]; then
    cd "$edition"
    exec ./luming
fi

# A private X server: -displayfd tells us which display it took.
display_fd_file=$(mktemp)
Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp -noreset 3>"$display_fd_file" 2>/dev/null &
xvfb_pid=$!
client_pid=""
cleanup() {
    [[ -n $client_pid ]] && kill "$client_pid" 2>/dev/null || true
    kill "$xvfb_pid" 2>/dev/null || true
    rm -f "$display_fd_file"
}
trap cleanup EXIT
for _ in $(seq 100); do
    [[ -s $display_fd_file ]] && break
    sleep 0.1
done
export DISPLAY=":$(head -n 1 "$display_fd_file")"

(cd "$edition" && exec ./luming) &
client_pid=$!
sleep "$headless_seconds"
shot="$suite/screenshots/luming-$(date +%Y%m%d-%H%M%S).png"
import -window root "$shot"
echo "screenshot: $shot"
