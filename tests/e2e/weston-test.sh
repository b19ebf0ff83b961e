#!/usr/bin/env bash
# The installed client on a Wayland desktop: the package's files installed into a scratch root,
# a new user, no network, no X server; weston (headless, software drawing) with its panel at the
# top. The client starts through the launcher, runs on Wayland, its maximised window lies in the
# area below the panel with the close button and the whole status bar on the screenshot, and the
# first programme plays, then the next one (as the media session tells).
# Usage: weston-test.sh BUILD_DIR   (run inside a session bus of its own: dbus-run-session)
set -euo pipefail
build=${1:?usage: weston-test.sh BUILD_DIR}

source "$(dirname "${BASH_SOURCE[0]}")/../packaging/scratch.sh"
pids=()
stop_all() {
    for pid in "${pids[@]}"; do
        kill "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    done
    rm -rf "$scratch"
}
trap stop_all EXIT

# Runs a command until it succeeds; false after a minute. Every wait is for a state: a socket, a
# bus name, a playing programme, a screenshot showing the window.
wait_for() {
    local deadline=$((SECONDS + 60))
    until "$@"; do
        ((SECONDS < deadline)) || return 1
        sleep 0.2
    done
}

root="$scratch/root"
cmake --install "$build" --component luming --prefix "$root" >/dev/null
export HOME="$scratch/home" TMPDIR="$scratch/tmp" XDG_RUNTIME_DIR="$scratch/runtime"
mkdir -p "$HOME" "$TMPDIR" "$scratch/shots"
mkdir -m 700 "$XDG_RUNTIME_DIR"
unset DISPLAY QT_QPA_PLATFORM XDG_DATA_HOME

cat >"$scratch/weston.ini" <<'INI'
[shell]
panel-position=top
background-color=0xff303030
INI
width=1280
height=800
# --debug lets weston-screenshooter take pictures.
weston --backend=headless-backend.so --use-pixman --shell=desktop-shell.so --debug \
    --width=$width --height=$height --socket=luming-test --config="$scratch/weston.ini" \
    >"$scratch/weston.log" 2>&1 &
pids+=($!)
wait_for test -S "$XDG_RUNTIME_DIR/luming-test" || { cat "$scratch/weston.log" >&2; fail "weston"; }
export WAYLAND_DISPLAY=luming-test

QTWEBENGINE_DISABLE_SANDBOX=1 "$root/usr/bin/luming" >"$scratch/client.log" 2>&1 &
pids+=($!)
client_failed() {
    cat "$scratch/client.log" >&2
    fail "$*"
}

mpris() { # property
    dbus-send --session --print-reply --dest=org.mpris.MediaPlayer2.luming /org/mpris/MediaPlayer2 \
        org.freedesktop.DBus.Properties.Get string:org.mpris.MediaPlayer2.Player "string:$1" \
        2>/dev/null
}
# Playing, one second or more into the programme (positions are microseconds).
playing() {
    [[ $(mpris PlaybackStatus) == *'"Playing"'* ]] &&
        (($(mpris Position | awk '/int64/ { print $3 }') >= 1000000))
}
title() { mpris Metadata | grep -A1 'string "xesam:title"' | sed -n '2s/.*string "\(.*\)"/\1/p'; }
wait_for playing || client_failed "the first programme did not play"
first=$(title)

# The screenshot: colours of a column in the middle and of the close button's place.
pixel_rows() { # x y-from count: "y r g b" per row
    convert "$shot" -crop "1x$3+$1+$2" -depth 8 txt:- |
        sed -n 's/^0,\([0-9]*\): (\([0-9]*\),\([0-9]*\),\([0-9]*\).*/\1 \2 \3 \4/p' |
        awk -v from="$2" '{ print $1 + from, $2, $3, $4 }'
}
blue() { awk '$4 > 120 && $4 > $2 + 60' ; }
window_fits() {
    rm -f "$scratch"/shots/*.png
    (cd "$scratch/shots" && weston-screenshooter >/dev/null 2>&1) || return 1
    local shots=("$scratch"/shots/*.png)
    shot=${shots[0]}
    [[ -f $shot ]] || return 1
    # The title bar begins below the panel (which stays visible) ...
    top=$(pixel_rows $((width / 2)) 0 120 | blue | awk 'NR == 1 { print $1 }')
    [[ -n $top ]] && ((top > 0)) || return 1
    # ... with the close button's white cross at its right end ...
    local brightest
    brightest=$(convert "$shot" -crop "24x13+$((width - 35))+$((top + 4))" -colorspace gray \
        -format '%[fx:int(255 * maxima)]' info:)
    ((brightest > 220)) || return 1
    # ... and the status bar's 25 rows of blue end just above the window's bottom edge, the
    # screen's last row.
    (($(pixel_rows $((width / 2)) $((height - 26)) 25 | blue | wc -l) == 25)) || return 1
    [[ -z $(pixel_rows $((width / 2)) $((height - 1)) 1 | blue) ]]
}
wait_for window_fits ||
    client_failed "the window does not fit below the panel (title bar at ${top:-none}; $shot)"

# The next programme plays too.
dbus-send --session --dest=org.mpris.MediaPlayer2.luming /org/mpris/MediaPlayer2 \
    org.mpris.MediaPlayer2.Player.Next
wait_for eval '[[ $(title) != "$first" ]] && playing' || client_failed "the next programme did not play"
echo "weston: the window fits below the panel, \"$first\" and \"$(title)\" played"
