#!/usr/bin/env bash
# `luming --version` and `luming --help`: they print and end, with no display to open a window on
# and while another copy holds the single-instance lock, and write nothing into TMPDIR. Without
# a display, and as root, the program says why it does not start.
# Usage: options-test.sh EXECUTABLE VERSION
set -euo pipefail
usage="usage: options-test.sh EXECUTABLE VERSION"
executable=${1:?$usage}
version=${2:?$usage}

source "$(dirname "${BASH_SOURCE[0]}")/scratch.sh"

export TMPDIR="$scratch/tmp"
mkdir -p "$TMPDIR"
unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM

[[ $("$executable" --version) == "$version" ]] || fail "--version: $("$executable" --version)"
help=$("$executable" --help)
[[ $help == 用法:\ luming* && $help == *--version* && $help == *-start* ]] || fail "--help: $help"
[[ $("$executable" -start -h) == "$help" ]] || fail "-h differs from --help"
[[ -z $(ls -A "$TMPDIR") ]] || fail "written into TMPDIR: $(ls -A "$TMPDIR")"

# An option it does not know is refused with the usage on standard error, whatever else is
# asked, before anything is written.
for options in "-v" "--bogus" "-start --help -x" "--version --verbose=1"; do
    set +e
    # shellcheck disable=SC2086 # the options are words
    output=$("$executable" $options 2>"$scratch/refused")
    status=$?
    set -e
    ((status == 2)) || fail "$options: exit status $status"
    [[ -z $output ]] || fail "$options: printed on standard output: $output"
    [[ $(head -n 1 "$scratch/refused") == "luming: "*"${options##* }" ]] ||
        fail "$options: $(cat "$scratch/refused")"
    grep -q "^用法: luming" "$scratch/refused" || fail "$options: no usage: $(cat "$scratch/refused")"
done
[[ -z $(ls -A "$TMPDIR") ]] || fail "written into TMPDIR: $(ls -A "$TMPDIR")"

# With no display at all the program says so instead of aborting.
set +e
message=$("$executable" 2>&1 >/dev/null)
status=$?
set -e
((status == 1)) || fail "without a display: exit status $status ($message)"
[[ $message == *DISPLAY* ]] || fail "without a display: $message"

# Started by root, unless the web engine's sandbox was turned off on purpose, it says in Chinese
# why it does not start.
if ((EUID == 0)); then
    set +e
    message=$(env -u QTWEBENGINE_DISABLE_SANDBOX "$executable" 2>&1 >/dev/null)
    status=$?
    set -e
    ((status == 1)) || fail "as root: exit status $status ($message)"
    [[ $message == "luming: "*root*普通用户* ]] || fail "as root: $message"
fi
echo "options: all checks passed"
