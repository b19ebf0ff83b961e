#!/usr/bin/env bash
# Makes the demo channel's programmes from channel.tsv into DIR/<id><ext>: FLV videos (the poem
# over a calm background, read aloud), MP3 recitations, Flash movies (SWF) and texts. A file that
# is already there is kept, so a second run costs nothing.
# Usage: demo/make-media.sh DIR
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
out=${1:?usage: make-media.sh DIR}
mkdir -p "$out"

font=$(fc-match -f '%{file}' 'WenQuanYi Zen Hei' 2>/dev/null || true)
[[ -f $font ]] || font=/usr/share/fonts/truetype/wqy/wqy-zenhei.ttc
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

ffmpeg_quiet() { ffmpeg -hide_banner -loglevel error -nostdin -y "$@"; }

# The poem read aloud in Mandarin, as WAV; prints its length in whole seconds (at least 6).
recite() {
    local text=$1 wav=$2
    espeak-ng -v cmn -s 110 -g 8 -w "$wav" "$text"
    local seconds
    seconds=$(ffprobe -v error -show_entries format=duration -of csv=p=0 "$wav")
    seconds=${seconds%.*}
    echo $((seconds < 6 ? 6 : seconds + 2))
}

# drawtext filters: the title large at the top, then one line of the poem under another.
text_filters() {
    local title=$1 text=$2 width=$3 size=$4
    local filters="drawtext=fontfile=$font:text='$title':fontsize=$((size * 3 / 2)):fontcolor=white:x=(w-text_w)/2:y=h/8"
    local line y=$((width / 5 + size * 2)) i=0
    IFS='/' read -ra lines <<<"$text"
    for line in "${lines[@]}"; do
        # Lines appear one after another, as a teacher would show them.
        filters+=",drawtext=fontfile=$font:text='$line':fontsize=$size:fontcolor=0xFFF4D6"
        filters+=":x=(w-text_w)/2:y=$((y + i * size * 3 / 2)):enable='gte(t,$((i + 1)))'"
        i=$((i + 1))
    done
    echo "$filters"
}

make_flv() { # id title text
    local wav=$work/$1.wav seconds
    seconds=$(recite "$2。${3//\//，}。" "$wav")
    ffmpeg_quiet -f lavfi -i "gradients=s=640x360:c0=0x1E5F9C:c1=0x4A9FE0:speed=0.005:d=$seconds:r=25" \
        -i "$wav" -filter_complex "[0:v]$(text_filters "$2" "$3" 640 28)[v];[1:a]apad[a]" \
        -map '[v]' -map '[a]' -t "$seconds" -c:v flv1 -q:v 3 -c:a libmp3lame -ar 22050 -b:a 64k \
        "$out/$1.flv.tmp.flv"
    mv "$out/$1.flv.tmp.flv" "$out/$1.flv"
}

make_swf() { # id title text
    local wav=$work/$1.wav seconds
    seconds=$(recite "$2。${3//\//，}。" "$wav")
    ffmpeg_quiet -f lavfi -i "gradients=s=320x240:c0=0xFF8A65:c1=0xFFB84D:speed=0.01:d=$seconds:r=12" \
        -i "$wav" -filter_complex "[0:v]$(text_filters "$2" "$3" 320 16)[v];[1:a]apad[a]" \
        -map '[v]' -map '[a]' -t "$seconds" -c:v flv1 -q:v 3 -c:a libmp3lame -ar 22050 -b:a 64k \
        -f swf "$out/$1.swf.tmp"
    mv "$out/$1.swf.tmp" "$out/$1.swf"
}

make_mp3() { # id title text
    local wav=$work/$1.wav
    recite "$2。${3//\//，}。" "$wav" >/dev/null
    ffmpeg_quiet -i "$wav" -c:a libmp3lame -ar 22050 -b:a 64k -metadata title="$2" \
        -f mp3 "$out/$1.mp3.tmp"
    mv "$out/$1.mp3.tmp" "$out/$1.mp3"
}

make_txt() { # id title text: a text as Windows keeps it (GBK, CRLF)
    { echo "$2"; tr '/' '\n' <<<"$3"; } | sed 's/$/\r/' | iconv -f UTF-8 -t GBK >"$out/$1.txt"
}

while IFS=$'\x1f' read -r type id _pid name _source text; do
    case $type in
    1) ext=.swf make=make_swf ;;
    2) ext=.mp3 make=make_mp3 ;;
    3) ext=.txt make=make_txt ;;
    4) ext=.flv make=make_flv ;;
    *) continue ;;
    esac
    [[ -s $out/$id$ext ]] && continue
    echo "demo media: $id$ext ($name)"
    "$make" "$id" "$name" "$text"
done < <(awk -F'\t' '$1 != "" && $1 !~ /^#/ { OFS = "\x1f"; $1 = $1; print }' "$here/channel.tsv")
