#!/usr/bin/env bash
# Makes the Debian package from this build tree in a scratch directory and checks what a user
# gets: the programs under /usr/lib/luming, what they read (the programmes of the channel among
# it) under /usr/share/luming and nothing else of the build, the launcher, desktop entry, icons,
# metadata, manual page, copyright and change log, the dependencies, an executable that kept its
# version and finds its library, Debian's checker without an error or a warning, and a removal
# that leaves nothing behind.
# Usage: deb-test.sh BUILD_DIR EDITION APP_ID BUILD_NUMBER
set -euo pipefail
usage="usage: deb-test.sh BUILD_DIR EDITION APP_ID BUILD_NUMBER"
build=${1:?$usage}
edition=${2:?$usage}
id=${3:?$usage}
number=${4:?$usage}

source "$(dirname "${BASH_SOURCE[0]}")/scratch.sh"

cpack -G DEB --config "$build/CPackConfig.cmake" -B "$scratch/out" >"$scratch/cpack.log" 2>&1 ||
    { cat "$scratch/cpack.log" >&2; fail "cpack"; }
debs=("$scratch"/out/luming_*.deb)
((${#debs[@]} == 1)) && [[ -f ${debs[0]} ]] || fail "no single package: ${debs[*]}"
deb=${debs[0]}

[[ $(dpkg-deb -f "$deb" Package) == luming ]] || fail "package name"
version=$(dpkg-deb -f "$deb" Version)
[[ $version == "2.0.0.$number" ]] || fail "version $version"
depends=$(dpkg-deb -f "$deb" Depends)
for needed in libmpv2 libqt6webenginewidgets6 libqt6webenginecore6-bin qt6-translations-l10n \
    libcurl4 libxml2 qt6-wayland; do
    [[ ", $depends," == *", $needed "* || ", $depends," == *", $needed,"* ]] ||
        fail "Depends lacks $needed: $depends"
done
[[ $depends != *kestrivane* ]] || fail "Depends names the package's own library: $depends"

# Mode and path of every file; directories aside.
listing=$(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { print $1, $6 }')
icons=/usr/share/icons/hicolor
data=/usr/share/luming
expected=(
    "-rwxr-xr-x ./usr/lib/luming/$edition/luming"
    "-rw-r--r-- ./usr/lib/luming/$edition/libkestrivane.so"
    "-rw-r--r-- .$data/Resource/Html/offline/mp3.htm"
    "-rw-r--r-- .$data/$edition/ruffle/ruffle.js"
    "-rw-r--r-- .$data/$edition/Resource/xml/$number.xml"
    "-rwxr-xr-x ./usr/bin/luming"
    "-rw-r--r-- ./usr/share/applications/$id.desktop"
    "-rw-r--r-- ./usr/share/metainfo/$id.metainfo.xml"
    "-rw-r--r-- .$icons/scalable/apps/$id.svg"
    "-rw-r--r-- ./usr/share/man/man1/luming.1.gz"
    "-rw-r--r-- ./usr/share/doc/luming/copyright"
    "-rw-r--r-- ./usr/share/doc/luming/changelog.gz"
    "-rw-r--r-- ./usr/share/lintian/overrides/luming"
)
for size in 16 32 48 64 128 256; do
    expected+=("-rw-r--r-- .$icons/${size}x$size/apps/$id.png")
done
# Every programme of the channel's table, in the cache under its id.
source_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
while IFS=$'\t' read -r type programme _; do
    case $type in 1) ext=.swf ;; 2) ext=.mp3 ;; 3) ext=.txt ;; 4) ext=.flv ;; *) continue ;; esac
    expected+=("-rw-r--r-- .$data/$edition/Caches/$number/$programme$ext")
done < <(grep -v '^#' "$source_dir/demo/channel.tsv")
for line in "${expected[@]}"; do
    grep -qxF -- "$line" <<<"$listing" || fail "missing: $line"
done
# Settings, caches and downloads are the user's; tests, tools and the demo are not shipped.
programs="usr/lib/luming/$edition/(luming|libkestrivane\.so)$"
shared="usr/share/luming/(Resource/Html/|$edition/(ruffle/|Resource/xml/|Caches/$number/))"
desktop="usr/bin/luming$|usr/share/(applications|metainfo|icons/hicolor|man/man1|doc/luming|lintian/overrides)/"
unexpected=$(grep -vE "^\S+ \./($programs|$shared|$desktop)" <<<"$listing" || true)
[[ -z $unexpected ]] || fail "unexpected files: $unexpected"

root="$scratch/root"
dpkg-deb -x "$deb" "$root"
desktop-file-validate "$root/usr/share/applications/$id.desktop" || fail "desktop entry"
grep -qx "Exec=luming" "$root/usr/share/applications/$id.desktop" || fail "Exec is not the launcher"
grep -qx "Icon=$id" "$root/usr/share/applications/$id.desktop" || fail "Icon is not $id"
for size in 16 32 48 64 128 256; do
    # Output captured first: under pipefail a grep -q that stops reading fails its writer.
    kind=$(file "$root$icons/${size}x$size/apps/$id.png")
    [[ $kind == *"PNG image data, $size x $size,"* ]] || fail "icon $size: $kind"
done
xmllint --noout "$root$data/$edition/Resource/xml/$number.xml" || fail "catalogue"

# The stripped executable still carries its file version stamp: "LMV1", then 2, 0, 0 and the
# build number as little-endian 16-bit parts.
executable="$root/usr/lib/luming/$edition/luming"
objcopy -O binary --only-section=.luming_version "$executable" "$scratch/stamp"
stamp=$(od -An -tx1 "$scratch/stamp" | tr -s ' \n' ' ')
expected_stamp=$(printf ' 4c 4d 56 31 02 00 00 00 00 00 %02x %02x ' \
    $((number % 256)) $((number / 256)))
[[ $stamp == "$expected_stamp" ]] || fail "version stamp: $stamp"
# It finds its library beside itself, wherever the suite lies.
# Output captured first: under pipefail a grep -q that stops reading fails its writer.
libraries=$(ldd "$executable")
grep -qF "libkestrivane.so => $root/usr/lib/luming/$edition/libkestrivane.so" <<<"$libraries" ||
    fail "libkestrivane not found beside the executable: $(grep kestrivane <<<"$libraries")"

# Debian's checker: no error and no warning (overrides only with their reasons, in the package).
lintian --fail-on error,warning "$deb" >"$scratch/lintian.log" 2>&1 ||
    { cat "$scratch/lintian.log" >&2; fail "lintian"; }

# Installed into a system of its own and purged again, it leaves nothing behind.
system="$scratch/system"
mkdir -p "$system/var/lib/dpkg/info" "$system/var/lib/dpkg/updates"
: >"$system/var/lib/dpkg/status"
dpkg_here=(dpkg --root="$system" --log=/dev/null --force-not-root --force-depends)
"${dpkg_here[@]}" -i "$deb" >"$scratch/dpkg.log" 2>&1 || { cat "$scratch/dpkg.log" >&2; fail "dpkg -i"; }
[[ -x $system/usr/lib/luming/$edition/luming ]] || fail "dpkg -i installed no executable"
"${dpkg_here[@]}" -P luming >"$scratch/dpkg.log" 2>&1 || { cat "$scratch/dpkg.log" >&2; fail "dpkg -P"; }
left=$(cd "$system" && find . -mindepth 1 ! -path './var' ! -path './var/lib' ! -path './var/lib/dpkg*')
[[ -z $left ]] || fail "left behind after purge: $left"
echo "package: all checks passed ($(stat -c %s "$deb") bytes)"
