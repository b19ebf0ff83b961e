#!/usr/bin/env bash
# The launcher /usr/bin/luming on a scratch installation with a stand-in executable: the user's
# suite is laid out on first use, the executable there is a real copy (the program finds its
# directory through /proc/self/exe), it is copied again after an upgrade, the user's files stay,
# and nothing is written into the installation.
# Usage: launcher-test.sh LAUNCHER EDITION   (the configured launcher build/packaging/luming, and
#   the edition directory it was configured with)
set -euo pipefail
usage="usage: launcher-test.sh LAUNCHER EDITION"
launcher=$(readlink -f "${1:?$usage}")
edition=${2:?$usage}

source "$(dirname "${BASH_SOURCE[0]}")/scratch.sh"

# The installation as the package lays it out.
root="$scratch/root"
opt="$root/opt/luming"
mkdir -p "$root/usr/bin" "$opt/Config" "$opt/Resource/Html/offline" "$opt/$edition/ruffle" \
    "$opt/$edition/Resource/xml"
install -m 755 "$launcher" "$root/usr/bin/luming"
: >"$opt/Config/Source.ini"
echo audio-page >"$opt/Resource/Html/offline/mp3.htm"
echo library >"$opt/$edition/libkestrivane.so"
echo engine >"$opt/$edition/ruffle/ruffle.js"
echo catalogue >"$opt/$edition/Resource/xml/26.xml"
# The stand-in writes its settings beside itself and tells where it ran and with what.
write_stand_in() {
    cat >"$opt/$edition/luming" <<STANDIN
#!/usr/bin/env bash
# release $1
mkdir -p Config Caches DL
echo "\$*" >>Config/local.ini
echo "ran in \$PWD as \$(readlink -f "\$0") with \$*"
STANDIN
    chmod 755 "$opt/$edition/luming"
}
write_stand_in 1
listing() { (cd "$opt" && find . -printf '%p %s %T@\n' | sort); }
installed_before=$(listing)

export HOME="$scratch/home"
mkdir -p "$HOME"
unset XDG_DATA_HOME
suite="$HOME/.local/share/luming"

output=$("$root/usr/bin/luming" -start "two words")
[[ $output == "ran in $suite/$edition as $suite/$edition/luming with -start two words" ]] ||
    fail "first start: $output"
[[ -f $suite/Config/Source.ini ]] || fail "no suite marker"
[[ -f $suite/$edition/luming && ! -L $suite/$edition/luming ]] ||
    fail "the executable is not a copy"
cmp -s "$opt/$edition/luming" "$suite/$edition/luming" || fail "the copy differs"
[[ -x $suite/$edition/luming ]] || fail "the copy is not executable"
for name in libkestrivane.so ruffle Resource; do
    [[ -L $suite/$edition/$name ]] || fail "$name is not linked"
done
[[ $(cat "$suite/$edition/ruffle/ruffle.js") == engine ]] || fail "ruffle/ unreadable"
[[ $(cat "$suite/$edition/Resource/xml/26.xml") == catalogue ]] || fail "catalogue unreadable"
[[ $(cat "$suite/$edition/libkestrivane.so") == library ]] || fail "library unreadable"
[[ $(cat "$suite/Resource/Html/offline/mp3.htm") == audio-page ]] || fail "audio page unreadable"
[[ -f $suite/$edition/Config/local.ini && ! -L $suite/$edition/Config ]] ||
    fail "settings not the user's"
[[ $(listing) == "$installed_before" ]] || fail "the installation changed"

# A second start keeps the copy as it is.
inode=$(stat -c %i "$suite/$edition/luming")
"$root/usr/bin/luming" second >/dev/null
[[ $(stat -c %i "$suite/$edition/luming") == "$inode" ]] ||
    fail "an unchanged executable was copied again"

# An upgrade: the new executable is copied, the user's settings stay.
write_stand_in 2
"$root/usr/bin/luming" third >/dev/null
cmp -s "$opt/$edition/luming" "$suite/$edition/luming" ||
    fail "the upgraded executable was not copied"
[[ $(cat "$suite/$edition/Config/local.ini") == $'-start two words\nsecond\nthird' ]] ||
    fail "settings lost: $(cat "$suite/$edition/Config/local.ini")"
[[ -z $(find "$suite/$edition" -maxdepth 1 -name '.luming.*') ]] || fail "a temporary copy was left"

# A real directory the user put in place of a link is kept.
rm "$suite/$edition/Resource"
mkdir -p "$suite/$edition/Resource/xml"
echo own >"$suite/$edition/Resource/xml/26.xml"
"$root/usr/bin/luming" >/dev/null
[[ $(cat "$suite/$edition/Resource/xml/26.xml") == own ]] ||
    fail "the user's catalogue was replaced"

# XDG_DATA_HOME chooses the place; a relative one is ignored.
XDG_DATA_HOME="$scratch/data" "$root/usr/bin/luming" >/dev/null
[[ -f $scratch/data/luming/$edition/Config/local.ini ]] || fail "XDG_DATA_HOME not used"
(cd "$scratch" && XDG_DATA_HOME=relative "$root/usr/bin/luming" >/dev/null)
[[ ! -e $scratch/relative ]] || fail "a relative XDG_DATA_HOME was used"

# Started through a symbolic link (as /usr/local/bin/luming -> /usr/bin/luming), it still finds
# the installation.
ln -s "$root/usr/bin/luming" "$scratch/luming-link"
output=$("$scratch/luming-link" via-link)
[[ $output == "ran in $suite/$edition as $suite/$edition/luming with via-link" ]] ||
    fail "started through a link: $output"
echo "launcher: all checks passed"
