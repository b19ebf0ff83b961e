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

# A movie of the poem: WIDTHxHEIGHT at RATE frames, on a gradient between two colours, read aloud.
make_movie() { # id title text size rate colour1 colour2 font-size format extension
    local wav=$work/$1.wav seconds width=${4%x*}
    seconds=$(recite "$2。${3//\//，}。" "$wav")
    ffmpeg_quiet -f lavfi -i "gradients=s=$4:c0=$6:c1=$7:speed=0.005:d=$seconds:r=$5" \
        -i "$wav" -filter_complex "[0:v]$(text_filters "$2" "$3" "$width" "$8")[v];[1:a]apad[a]" \
        -map '[v]' -map '[a]' -t "$seconds" -c:v flv1 -q:v 3 -c:a libmp3lame -ar 22050 -b:a 64k \
        -f "$9" "$out/$1${10}.tmp"
    mv "$out/$1${10}.tmp" "$out/$1${10}"
}

# Videos for the FLV player (the FLV muxer writes the duration the player needs to start early).
make_flv() { make_movie "$1" "$2" "$3" 640x360 25 0x1E5F9C 0x4A9FE0 28 flv .flv; }
# Flash movies: small and warm, at 12 frames a second.
make_swf() { make_movie "$1" "$2" "$3" 320x240 12 0xFF8A65 0xFFB84D 16 swf .swf; }

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
