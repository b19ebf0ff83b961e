#!/usr/bin/env bash
# Starts the installed client in a suite of the user's own, laid out on first use under
# ${XDG_DATA_HOME:-~/.local/share}/luming/. The program keeps its settings, caches and downloads
# in its edition directory, which the installation's is not for its users: the launcher names
# the user's one to the installed executable (LUMING_EDITION_DIR), and links from the
# installation only what the program reads there, the programmes shipped with it among them.
set -euo pipefail

# The installation lies at ../lib/luming and ../share/luming from this script's real place
# (/usr/bin/luming).
prefix=$(cd "$(dirname "$(readlink -f "${BASH_SOURCE[0]}")")/.." && pwd)
programs="$prefix/lib/luming"
data="$prefix/share/luming"
edition=@LUMING_EDITION_KEY@
channel=@LUMING_BUILD_NUMBER@

data_home=${XDG_DATA_HOME:-}
# A relative XDG_DATA_HOME is to be ignored.
[[ $data_home == /* ]] || data_home="$HOME/.local/share"
suite="$data_home/luming"
here="$suite/$edition"
cache="$here/Caches/$channel"

# Links a file of the installation into the user's suite, unless the user put something real there.
link() {
    local target=$1 name=$2
    if [[ -L $name || ! -e $name ]]; then
        ln -sfn "$target" "$name"
    fi
}

# Removes the links in a directory that lead nowhere any more: to an older installation (the
# suite under /opt/luming of earlier packages) or to a programme the package no longer ships.
drop_dead_links() {
    local name
    for name in "$1"/* "$1"/.[!.]*; do
        if [[ -L $name && ! -e $name ]]; then
            rm -f "$name"
        fi
    done
}

# The version and the usage are only printed: nothing of the user's is laid out or touched.
for argument in "$@"; do
    case $argument in
    --version | --help | -h) exec "$programs/$edition/luming" "$@" ;;
    esac
done
# Nor for an option the program does not know: asked for its version with the same options, it
# refuses them with its usage (status 2) before it does anything else.
"$programs/$edition/luming" --version "$@" >/dev/null || exit $?

mkdir -p "$suite/Config" "$here/Config" "$cache"
[[ -e $suite/Config/Source.ini ]] || : >"$suite/Config/Source.ini"
drop_dead_links "$suite"
drop_dead_links "$here"
drop_dead_links "$cache"
# Earlier launchers ran a copy of the executable from here.
rm -f "$here/luming" "$here"/.luming.??????

link "$data/Resource" "$suite/Resource"
for item in "$data/$edition/ruffle" "$data/$edition/Resource"; do
    link "$item" "$here/${item##*/}"
done
for programme in "$data/$edition/Caches/$channel"/*; do
    if [[ -f $programme ]]; then
        link "$programme" "$cache/${programme##*/}"
    fi
done
# The vendor's addresses, when the installation has them (the program's defaults otherwise).
if [[ -e $data/$edition/Config/platform.ini ]]; then
    link "$data/$edition/Config/platform.ini" "$here/Config/platform.ini"
fi

cd "$here"
LUMING_EDITION_DIR="$here" exec "$programs/$edition/luming" "$@"
