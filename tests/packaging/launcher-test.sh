#!/usr/bin/env bash
# The launcher /usr/bin/luming on a scratch installation with a stand-in executable: the user's
# suite is laid out on first use, the installed executable runs with the user's edition
# directory, the shipped programmes are linked into the cache, the user's files stay, what an
# earlier launcher left is cleared away, and nothing is written into the installation.
# Usage: launcher-test.sh LAUNCHER EDITION CHANNEL   (the configured launcher
#   build/packaging/luming, the edition directory and channel it was configured with)
set -euo pipefail
usage="usage: launcher-test.sh LAUNCHER EDITION CHANNEL"
launcher=$(readlink -f "${1:?$usage}")
edition=${2:?$usage}
channel=${3:?$usage}

source "$(dirname "${BASH_SOURCE[0]}")/scratch.sh"

# The installation as the package lays it out.
root="$scratch/root"
programs="$root/usr/lib/luming/$edition"
data="$root/usr/share/luming"
mkdir -p "$root/usr/bin" "$programs" "$data/Resource/Html/offline" "$data/$edition/ruffle" \
    "$data/$edition/Resource/xml" "$data/$edition/Caches/$channel"
install -m 755 "$launcher" "$root/usr/bin/luming"
echo audio-page >"$data/Resource/Html/offline/mp3.htm"
echo engine >"$data/$edition/ruffle/ruffle.js"
echo catalogue >"$data/$edition/Resource/xml/$channel.xml"
echo video >"$data/$edition/Caches/$channel/101.flv"
echo audio >"$data/$edition/Caches/$channel/102.mp3"
# The stand-in writes its settings into the edition directory it is given and tells where it
# ran and with what.
cat >"$programs/luming" <<'STANDIN'
#!/usr/bin/env bash
for argument in "$@"; do
    if [[ $argument == --bogus ]]; then
        echo "luming: 未知的选项: --bogus" >&2
        exit 2
    fi
done
if [[ -z ${LUMING_EDITION_DIR:-} ]]; then
    echo "ran $(readlink -f "$0") in $PWD with $* and no edition directory"
    exit 0
fi
mkdir -p "$LUMING_EDITION_DIR/Config"
echo "$*" >>"$LUMING_EDITION_DIR/Config/local.ini"
echo "ran $(readlink -f "$0") in $PWD for $LUMING_EDITION_DIR with $*"
STANDIN
chmod 755 "$programs/luming"
listing() { (cd "$root/usr" && find . -printf '%p %s %T@\n' | sort); }
installed_before=$(listing)

export HOME="$scratch/home"
mkdir -p "$HOME"
unset XDG_DATA_HOME
suite="$HOME/.local/share/luming"
here="$suite/$edition"

# The version and the usage lay nothing out.
for option in --version --help -h; do
    output=$("$root/usr/bin/luming" -start "$option")
    [[ $output == "ran $programs/luming in $PWD with -start $option and no edition directory" ]] ||
        fail "$option: $output"
done
[[ -z $(ls -A "$HOME") ]] || fail "--version and --help wrote into the home: $(ls -A "$HOME")"

# An option the executable refuses lays nothing out either, and its status comes through.
set +e
message=$("$root/usr/bin/luming" -start --bogus 2>&1)
status=$?
set -e
((status == 2)) || fail "--bogus: exit status $status ($message)"
[[ $message == *--bogus* ]] || fail "--bogus: $message"
[[ -z $(ls -A "$HOME") ]] || fail "--bogus wrote into the home: $(ls -A "$HOME")"

# What the launcher of the earlier package (the suite under /opt/luming) left: a copy of the
# executable, a temporary copy, and links into an installation that is gone.
mkdir -p "$here/Config" "$here/Caches/$channel"
echo old-copy >"$here/luming"
echo half-copy >"$here/.luming.AbC123"
ln -s /opt/luming/poetry/libkestrivane.so "$here/libkestrivane.so"
ln -s /opt/luming/poetry/ruffle "$here/ruffle"
ln -s /opt/luming/Resource "$suite/Resource"
echo own >"$here/Caches/$channel/105.mp3"

output=$("$root/usr/bin/luming" -start "two words")
[[ $output == "ran $programs/luming in $here for $here with -start two words" ]] ||
    fail "first start: $output"
[[ -f $suite/Config/Source.ini ]] || fail "no suite marker"
for name in luming .luming.AbC123 libkestrivane.so; do
    [[ ! -e $here/$name && ! -L $here/$name ]] || fail "$name of the earlier launcher is still there"
done
[[ $(cat "$here/ruffle/ruffle.js") == engine ]] || fail "ruffle/ unreadable"
[[ $(cat "$here/Resource/xml/$channel.xml") == catalogue ]] || fail "catalogue unreadable"
[[ $(cat "$suite/Resource/Html/offline/mp3.htm") == audio-page ]] || fail "audio page unreadable"
[[ -L $here/Caches/$channel/101.flv && $(cat "$here/Caches/$channel/102.mp3") == audio ]] ||
    fail "the shipped programmes are not in the cache"
[[ $(cat "$here/Caches/$channel/105.mp3") == own ]] || fail "the user's cached programme was replaced"
[[ -d $here/Caches/$channel && ! -L $here/Caches/$channel ]] || fail "the cache is not the user's"
[[ -f $here/Config/local.ini && ! -L $here/Config ]] || fail "settings not the user's"
[[ $(listing) == "$installed_before" ]] || fail "the installation changed"

# An upgrade that no longer ships a programme: its link goes, the user's settings stay.
rm "$data/$edition/Caches/$channel/101.flv"
"$root/usr/bin/luming" second >/dev/null
[[ ! -L $here/Caches/$channel/101.flv ]] || fail "a link to a programme that is gone was kept"
[[ $(cat "$here/Config/local.ini") == $'-start two words\nsecond' ]] ||
    fail "settings lost: $(cat "$here/Config/local.ini")"

# A real directory the user put in place of a link is kept.
rm "$here/Resource"
mkdir -p "$here/Resource/xml"
echo own >"$here/Resource/xml/$channel.xml"
"$root/usr/bin/luming" >/dev/null
[[ $(cat "$here/Resource/xml/$channel.xml") == own ]] || fail "the user's catalogue was replaced"

# XDG_DATA_HOME chooses the place; a relative one is ignored.
XDG_DATA_HOME="$scratch/data" "$root/usr/bin/luming" >/dev/null
[[ -f $scratch/data/luming/$edition/Config/local.ini ]] || fail "XDG_DATA_HOME not used"
(cd "$scratch" && XDG_DATA_HOME=relative "$root/usr/bin/luming" >/dev/null)
[[ ! -e $scratch/relative ]] || fail "a relative XDG_DATA_HOME was used"

# Started through a symbolic link (as /usr/local/bin/luming -> /usr/bin/luming), it still finds
# the installation.
ln -s "$root/usr/bin/luming" "$scratch/luming-link"
output=$("$scratch/luming-link" via-link)
[[ $output == "ran $programs/luming in $here for $here with via-link" ]] ||
    fail "started through a link: $output"
echo "launcher: all checks passed"
