#!/usr/bin/env bash
# Makes the demo channel's programmes from channel.tsv into DIR/<id><ext>: FLV videos (the poem
# over a calm background, read aloud), MP3 recitations, Flash movies (SWF) and texts, and beside
# every video, recitation and text its read-along DIR/<id>.lrc, timed where the voice reaches each
# line. A file that is already there is kept, so a second run costs nothing.
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

seconds_of() { ffprobe -v error -show_entries format=duration -of csv=p=0 "$1"; }

# "mm:ss.xx" of a time in seconds.
lrc_time() { awk -v t="$1" 'BEGIN { printf "%02d:%05.2f", int(t / 60), t - 60 * int(t / 60) }'; }

# The poem read aloud in Mandarin, as WAV: the title, then each line on its own, one after
# another, so that the read-along's times are where the voice really reaches each line. Writes
# the read-along DIR/<id>.lrc (title and author from the name "title author"; a line of pinyin
# under a line the channel gives readings for) and $work/<id>.starts (each line's start in
# seconds); prints the length in whole seconds (at least 6).
recite() { # id name text readings wav
    local id=$1 name=$2 text=$3 readings=$4 wav=$5 title author at=0 i=0 piece
    title=${name% *}
    author=${name##* }
    [[ $author == "$name" ]] && author=
    IFS='/' read -ra lines <<<"$text"
    IFS='/' read -ra pinyin <<<"$readings"
    : >"$work/$id.list"
    : >"$work/$id.starts"
    {
        echo "[ti:$title]"
        [[ -n $author ]] && echo "[ar:$author]"
        for piece in "$name" "${lines[@]}"; do
            espeak-ng -v cmn -s 110 -g 8 -w "$work/$id.$i.wav" "$piece。"
            echo "file '$work/$id.$i.wav'" >>"$work/$id.list"
            if ((i > 0)); then
                echo "[$(lrc_time "$at")]${lines[i - 1]}"
                [[ -n ${pinyin[i - 1]:-} ]] && echo "[$(lrc_time "$at")]${pinyin[i - 1]}"
                echo "$at" >>"$work/$id.starts"
            fi
            at=$(awk -v a="$at" -v b="$(seconds_of "$work/$id.$i.wav")" 'BEGIN { print a + b }')
            i=$((i + 1))
        done
    } >"$out/$id.lrc.tmp"
    ffmpeg_quiet -f concat -safe 0 -i "$work/$id.list" -c copy "$wav"
    mv "$out/$id.lrc.tmp" "$out/$id.lrc"
    local seconds
    seconds=$(seconds_of "$wav")
    seconds=${seconds%.*}
    echo $((seconds < 6 ? 6 : seconds + 2))
}

# drawtext filters: the title large at the top, then one line of the poem under another.
text_filters() { # id title text width size
    local title=$2 text=$3 width=$4 size=$5
    local filters="drawtext=fontfile=$font:text='$title':fontsize=$((size * 3 / 2)):fontcolor=white:x=(w-text_w)/2:y=h/8"
    local line y=$((width / 5 + size * 2)) i=0
    IFS='/' read -ra lines <<<"$text"
    mapfile -t starts <"$work/$1.starts"
    for line in "${lines[@]}"; do
        # Lines appear as the voice reaches them, as a teacher would show them.
        filters+=",drawtext=fontfile=$font:text='$line':fontsize=$size:fontcolor=0xFFF4D6"
        filters+=":x=(w-text_w)/2:y=$((y + i * size * 3 / 2)):enable='gte(t,${starts[i]})'"
        i=$((i + 1))
    done
    echo "$filters"
}

# A movie of the poem: WIDTHxHEIGHT at RATE frames, on a gradient between two colours, read aloud.
make_movie() { # id title text size rate colour1 colour2 font-size format extension readings
    local wav=$work/$1.wav seconds width=${4%x*}
    seconds=$(recite "$1" "$2" "$3" "${11}" "$wav")
    ffmpeg_quiet -f lavfi -i "gradients=s=$4:c0=$6:c1=$7:speed=0.005:d=$seconds:r=$5" \
        -i "$wav" -filter_complex "[0:v]$(text_filters "$1" "$2" "$3" "$width" "$8")[v];[1:a]apad[a]" \
        -map '[v]' -map '[a]' -t "$seconds" -c:v flv1 -q:v 3 -c:a libmp3lame -ar 22050 -b:a 64k \
        -f "$9" "$out/$1${10}.tmp"
    mv "$out/$1${10}.tmp" "$out/$1${10}"
}

# Videos for the FLV player (the FLV muxer writes the duration the player needs to start early).
make_flv() { make_movie "$1" "$2" "$3" 640x360 25 0x1E5F9C 0x4A9FE0 28 flv .flv "$4"; }
# Flash movies: small and warm, at 12 frames a second (no read-along: the movie shows its text).
make_swf() {
    make_movie "$1" "$2" "$3" 320x240 12 0xFF8A65 0xFFB84D 16 swf .swf "$4"
    rm -f "$out/$1.lrc"
}

make_mp3() { # id title text readings
    local wav=$work/$1.wav
    recite "$1" "$2" "$3" "$4" "$wav" >/dev/null
    ffmpeg_quiet -i "$wav" -c:a libmp3lame -ar 22050 -b:a 64k -metadata title="$2" \
        -f mp3 "$out/$1.mp3.tmp"
    mv "$out/$1.mp3.tmp" "$out/$1.mp3"
}

make_txt() { # id title text readings: a text as Windows keeps it (GBK, CRLF)
    recite "$1" "$2" "$3" "$4" "$work/$1.wav" >/dev/null # the read-along's pace
    { echo "$2"; tr '/' '\n' <<<"$3"; } | sed 's/$/\r/' | iconv -f UTF-8 -t GBK >"$out/$1.txt"
}

while IFS=$'\x1f' read -r type id _pid name _source text readings; do
    case $type in
    1) ext=.swf make=make_swf ;;
    2) ext=.mp3 make=make_mp3 ;;
    3) ext=.txt make=make_txt ;;
    4) ext=.flv make=make_flv ;;
    *) continue ;;
    esac
    [[ -s $out/$id$ext && ($type == 1 || -s $out/$id.lrc) ]] && continue
    echo "demo media: $id$ext ($name)"
    "$make" "$id" "$name" "$text" "$readings"
done < <(awk -F'\t' '$1 != "" && $1 !~ /^#/ { OFS = "\x1f"; $1 = $1; print }' "$here/channel.tsv")
