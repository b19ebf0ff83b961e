#!/usr/bin/env bash
# Lays out the demo installation: a suite with this edition inside it, its catalogue, the
# programmes already in the cache and download directories, and the vendor's addresses.
# Usage: demo/make-suite.sh BUILD_DIR MEDIA_DIR SUITE_DIR SITE_URL
#   BUILD_DIR  where luming, its ruffle/ files and libkestrivane.so are built
#   MEDIA_DIR  the programmes as <id><ext> (demo/make-media.sh makes them)
#   SITE_URL   the running vendor site, e.g. http://127.0.0.1:8080 (no trailing slash)
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
usage="usage: make-suite.sh BUILD_DIR MEDIA_DIR SUITE_DIR SITE_URL"
build=${1:?$usage}
media=${2:?$usage}
suite=${3:?$usage}
site=${4:?$usage}
edition="$suite/poetry"

mkdir -p "$suite/Config" "$suite/Resource/Html/offline" "$edition/Config" \
    "$edition/Resource/xml" "$edition/Caches/26" "$edition/DL"
touch "$suite/Config/Source.ini"
install -m 644 "$here/pages/offline-mp3.htm" "$suite/Resource/Html/offline/mp3.htm"

install -m 755 "$build/src/app/luming" "$edition/luming"
rm -rf "$edition/ruffle"
cp -r "$build/src/app/ruffle" "$edition/ruffle"
for library in "$build"/kestrivane/libkestrivane.so*; do
    [[ -e $library ]] && cp -P "$library" "$edition/"
done
"$here/make-catalogue.sh" "$edition/Resource/xml/26.xml"

# Programmes marked "cache" are already in Caches/26/<id><ext>, those marked "dl" in DL/<name><ext>.
awk -F'\t' '$1 != "" && $1 !~ /^#/ && ($5 == "cache" || $5 == "dl") { print $1 "\t" $2 "\t" $4 "\t" $5 }' \
    "$here/channel.tsv" | while IFS=$'\t' read -r type id name source; do
    case $type in 1) ext=.swf ;; 2) ext=.mp3 ;; 3) ext=.txt ;; 4) ext=.flv ;; *) continue ;; esac
    # The read-along, where there is one, beside it under the same name.
    if [[ $source == cache ]]; then
        cp "$media/$id$ext" "$edition/Caches/26/$id$ext"
        [[ ! -f $media/$id.lrc ]] || cp "$media/$id.lrc" "$edition/Caches/26/$id.lrc"
    else
        cp "$media/$id$ext" "$edition/DL/$name$ext"
        [[ ! -f $media/$id.lrc ]] || cp "$media/$id.lrc" "$edition/DL/$name.lrc"
    fi
done

# The vendor's addresses point at the site on this machine.
cat >"$edition/Config/platform.ini" <<INI
[Info]
1=$site
3=$site/dl/
10=$site/Mp3PageHtml/Mp3PageHtml
11=$site/mini_index.html
12=$site/links.html
14=$site/ad/StatusBar.html
15=$site/ad/ChannelAds.html
16=$site/ad/PauseAds.html
INI
