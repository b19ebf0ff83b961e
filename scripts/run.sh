#!/usr/bin/env bash
# Installs what is missing, builds, lays out the demo installation under build/demo/, starts
# the vendor's site on this machine and then the client. The site stops when the client ends.
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
demo="$build_dir/demo"
suite="$demo/suite"
mkdir -p "$demo/screenshots" "$demo/media"

# The programmes, made once per build directory.
"$root/demo/make-media.sh" "$demo/media"
cp "$root/demo/channel.tsv" "$demo/media/channel.tsv"

pids=()
# One at a time, the client first: it ends in order (its place and settings kept) while its X
# server and the site are still there.
cleanup() {
    for pid in "${pids[@]}"; do
        kill "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    done
}
trap cleanup EXIT

# The vendor's site on a free port; its first line says which.
site_log="$demo/vendor-site.log"
"$build_dir/demo/site/luming-vendor-site" --media "$demo/media" --port 0 --rate 512 >"$site_log" &
pids+=($!)
site_url=""
for _ in $(seq 100); do
    site_url=$(sed -n '1s|^listening on \(http://127.0.0.1:[0-9]*\)/$|\1|p' "$site_log")
    [[ -n $site_url ]] && break
    sleep 0.1
done
[[ -n $site_url ]] || { echo "run: the vendor site did not start (see $site_log)" >&2; exit 1; }
echo "vendor site: $site_url (log: $site_log)"

"$root/demo/make-suite.sh" "$build_dir" "$demo/media" "$suite" "$site_url"

export QTWEBENGINE_DISABLE_SANDBOX=1
if [[ -z ${XDG_RUNTIME_DIR:-} ]]; then
    export XDG_RUNTIME_DIR="$demo/.runtime"
    mkdir -p -m 700 "$XDG_RUNTIME_DIR"
fi

if [[ -z $headless_seconds ]]; then
    (cd "$suite/poetry" && ./luming)
    exit 0
fi

# A private X server: -displayfd tells us which display it took.
display_file=$(mktemp)
Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp -noreset 3>"$display_file" 2>/dev/null &
pids+=($!)
for _ in $(seq 100); do
    [[ -s $display_file ]] && break
    sleep 0.1
done
export DISPLAY=":$(head -n 1 "$display_file")"
rm -f "$display_file"

(cd "$suite/poetry" && exec ./luming) &
client=$!
pids=("$client" "${pids[@]}")
sleep "$headless_seconds"
shot="$demo/screenshots/luming-$(date +%Y%m%d-%H%M%S).png"
import -window root "$shot"
echo "screenshot: $shot"
