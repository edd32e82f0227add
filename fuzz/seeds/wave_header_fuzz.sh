#!/usr/bin/env bash
# Seeds for wave_header_fuzz: WAVE files of the kinds the programs meet (PCM of several
# rates and widths, MS and IMA ADPCM, MP3 in WAVE), "data" before "fmt ", extra chunks,
# and cut-off copies. Usage: wave_header_fuzz.sh CORPUS_DIR
set -euo pipefail
. "$(dirname "$0")/common.sh"

sox -q -n -r 44100 -c 2 -b 16 "$tmp/tone.wav" synth 0.05 sine 440
sox -q -n -r 22050 -c 1 -b 16 "$out/pcm16-22k-mono.wav" synth 0.02 sine 440
sox -q -n -r 11025 -c 1 -b 8 "$out/pcm8-11k.wav" synth 0.02 sine 440
cp "$tmp/tone.wav" "$out/pcm16-44k-stereo.wav"
ffmpeg -v error -i "$tmp/tone.wav" -c:a adpcm_ms -fflags +bitexact "$out/adpcm-ms.wav"
ffmpeg -v error -i "$tmp/tone.wav" -c:a adpcm_ima_wav -fflags +bitexact "$out/adpcm-ima.wav"
ffmpeg -v error -i "$tmp/tone.wav" -c:a libmp3lame -b:a 128k -f wav -fflags +bitexact \
  "$out/mp3-in-wave.wav" 2>/dev/null || true
head -c 60 "$tmp/tone.wav" > "$out/cut-in-data.wav"
head -c 30 "$tmp/tone.wav" > "$out/cut-in-format.wav"

# "data" first, then a LIST chunk with an odd size (padded), then "fmt ".
{
  printf 'RIFF'; le32 $((4 + 8 + 4 + 8 + 5 + 1 + 8 + 16)); printf 'WAVE'
  printf 'data'; le32 4; printf '\x01\x02\x03\x04'
  printf 'LIST'; le32 5; printf 'INFOx\x00'
  printf 'fmt '; le32 16; le16 1; le16 2; le32 44100; le32 176400; le16 4; le16 16
} > "$out/data-first.wav"
