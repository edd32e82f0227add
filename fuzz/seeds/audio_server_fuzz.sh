#!/usr/bin/env bash
# Seeds for audio_server_fuzz: the player's region holds a song's "fmt " record at 0 and its
# compressed bytes at 256; then the requests of one song as the player sends them, each a
# datagram of 12 bytes (kind, wParam, lParam). Input layout: u16 region length, the region,
# then per datagram u16 length and its bytes. Usage: audio_server_fuzz.sh CORPUS_DIR
set -euo pipefail
. "$(dirname "$0")/common.sh"

request() { le16 12; le32 "$1"; le32 "$2"; le32 "$3"; }

# seed NAME WAVE: the fmt record and 2 KiB of data of that file.
seed() {
  local name=$1 wave=$2
  # The fmt chunk follows "RIFF" size "WAVE" at byte 12; its size is at 16.
  local fmtsize
  fmtsize=$(od -An -tu4 -j16 -N4 "$wave" | tr -d ' ')
  local datastart
  datastart=$(grep -abo 'data' "$wave" | head -1 | cut -d: -f1)
  {
    le16 $((256 + 2048))
    dd if="$wave" bs=1 skip=20 count="$fmtsize" status=none
    head -c $((256 - fmtsize)) /dev/zero
    dd if="$wave" bs=1 skip=$((datastart + 8)) count=2048 status=none
    request 1 2 1024          # SetData: chunk size
    request 2 "$fmtsize" 0    # OpenSong: the record at 0
    request 3 0 0             # GetData
    request 4 1024 256        # SeekNext: 1024 bytes at 256
    request 4 1024 1280
    request 5 0 0             # SeekFirst: refused
    request 1 3 0             # SetData: finished
  } > "$out/$name"
}

sox -q -n -r 44100 -c 2 -b 16 "$tmp/tone.wav" synth 0.3 sine 440
ffmpeg -v error -i "$tmp/tone.wav" -c:a adpcm_ms -fflags +bitexact "$tmp/ms.wav"
ffmpeg -v error -i "$tmp/tone.wav" -c:a adpcm_ima_wav -fflags +bitexact "$tmp/ima.wav"
seed adpcm-ms "$tmp/ms.wav"
seed adpcm-ima "$tmp/ima.wav"
if ffmpeg -v error -i "$tmp/tone.wav" -c:a libmp3lame -b:a 128k -f wav -fflags +bitexact \
     "$tmp/mp3.wav" 2>/dev/null; then
  seed mp3 "$tmp/mp3.wav"
fi
