#!/usr/bin/env bash
# Starts the installed client from a suite of the user's own, laid out on first use under
# ${XDG_DATA_HOME:-~/.local/share}/luming/. The program keeps its settings, caches and downloads
# beside its executable, and it finds that directory through /proc/self/exe, which resolves
# symbolic links. So the executable is a copy (made again whenever the installed one differs,
# as after an upgrade), and only what the program reads is linked from the installation.
set -euo pipefail

# The installation lies at ../../opt/luming from this script's real place (/usr/bin/luming).
installed=$(cd "$(dirname "$(readlink -f "${BASH_SOURCE[0]}")")/../../opt/luming" && pwd)
edition=@LUMING_EDITION_KEY@

data_home=${XDG_DATA_HOME:-}
# A relative XDG_DATA_HOME is to be ignored.
[[ $data_home == /* ]] || data_home="$HOME/.local/share"
suite="$data_home/luming"
here="$suite/$edition"

# Links a file of the installation into the user's suite, unless the user put something real there.
link() {
    local target=$1 name=$2
    if [[ -L $name || ! -e $name ]]; then
        ln -sfn "$target" "$name"
    fi
}

mkdir -p "$suite/Config" "$here/Config"
[[ -e $suite/Config/Source.ini ]] || : >"$suite/Config/Source.ini"
link "$installed/Resource" "$suite/Resource"
for item in "$installed/$edition"/libkestrivane.so* "$installed/$edition/ruffle" \
    "$installed/$edition/Resource"; do
    if [[ -e $item ]]; then
        link "$item" "$here/${item##*/}"
    fi
done
# The vendor's addresses, when the installation has them (the program's defaults otherwise).
if [[ -e $installed/$edition/Config/platform.ini ]]; then
    link "$installed/$edition/Config/platform.ini" "$here/Config/platform.ini"
fi

if ! cmp -s "$installed/$edition/luming" "$here/luming"; then
    # A copy under another name first, renamed into place: a copy that is running, or a second
    # launcher starting at the same moment, never sees half a file.
    copy=$(mktemp "$here/.luming.XXXXXX")
    trap 'rm -f "$copy"' EXIT
    cp "$installed/$edition/luming" "$copy"
    chmod 755 "$copy"
    mv -f "$copy" "$here/luming"
    trap - EXIT
fi

cd "$here"
exec ./luming "$@"
