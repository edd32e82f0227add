#!/usr/bin/env bash
# Seeds for mp3_header_fuzz: MP3 files as imports meet them (MPEG-1 and MPEG-2, constant and
# low bit rates, mono and stereo, with and without ID3v2 and ID3v1 tags), a free-format and a
# layer-2 frame, and cut-off copies. Usage: mp3_header_fuzz.sh CORPUS_DIR
set -euo pipefail
. "$(dirname "$0")/common.sh"

sox -q -n -r 44100 -c 2 -b 16 "$tmp/tone.wav" synth 0.1 sine 440
sox -q -n -r 22050 -c 1 -b 16 "$tmp/low.wav" synth 0.1 sine 440
lame --quiet -b 128 "$tmp/tone.wav" "$out/plain.mp3"
lame --quiet -b 128 --id3v2-only --tt Title --ta Artist "$tmp/tone.wav" "$out/id3v2.mp3"
lame --quiet -b 192 --id3v1-only --tt Title --ta Artist --tl Album --ty 1999 --tg 31 \
  "$tmp/tone.wav" "$out/id3v1.mp3"
lame --quiet -b 160 --add-id3v2 --tt Title --ta Artist "$tmp/tone.wav" "$out/both-tags.mp3"
lame --quiet -b 32 "$tmp/low.wav" "$out/mpeg2-low.mp3"
lame --quiet -b 64 -m m "$tmp/low.wav" "$out/mpeg2-mono.mp3"
ffmpeg -v error -i "$tmp/tone.wav" -c:a mp2 -b:a 128k "$out/layer2.mp2"
head -c 300 "$out/both-tags.mp3" > "$out/cut.mp3"
# A free-format frame header (bit-rate index 0), then nothing.
printf '\xff\xfb\x00\x00' > "$out/free-format.mp3"
# An ID3v2 header whose size runs far past the end.
printf 'ID3\x04\x00\x00\x7f\x7f\x7f\x7f\xff\xfb\x90\x64' > "$out/huge-id3v2.mp3"
