#!/usr/bin/env bash
# Writes the demo channel's catalogue from channel.tsv, encoded in GB2312 as the vendor's
# catalogues are. Usage: demo/make-catalogue.sh OUTPUT.xml
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
out=${1:?usage: make-catalogue.sh OUTPUT.xml}

awk -F'\t' '
    BEGIN { print "<?xml version=\"1.0\" encoding=\"gb2312\"?>"; print "<channel>" }
    $1 == "" || $1 ~ /^#/ { next }
    { printf "  <item><type>%s</type><id>%s</id><pid>%s</pid><name>%s</name></item>\n", $1, $2, $3, $4 }
    END { print "</channel>" }
' "$here/channel.tsv" | iconv -f UTF-8 -t GB2312 >"$out.tmp"
mv "$out.tmp" "$out"
