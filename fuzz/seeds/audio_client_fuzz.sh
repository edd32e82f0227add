#!/usr/bin/env bash
# Seeds for audio_client_fuzz: a server region as the server lays it out (format information
# block at 16, decode result block at 28, a PCM format record at 40, decoded bytes at 64),
# then the answers of one song, each a datagram of 4 bytes: OpenSong (the output address),
# GetData (the information block), SeekNext (the result block), in that order.
# Input layout: u16 region length - 1, the region, then per datagram u16 length and its
# bytes. Usage: audio_client_fuzz.sh CORPUS_DIR
set -euo pipefail
. "$(dirname "$0")/common.sh"

answer() { le16 4; le32 "$1"; }

region() {
  local produced=$1
  head -c 16 /dev/zero
  le32 4096; le32 16; le32 40              # decoded maximum, format length, format address
  le32 1024; le32 "$produced"; le32 0      # consumed, produced, unused
  le16 1; le16 2; le32 44100; le32 176400; le16 4; le16 16   # PCM, stereo, 16-bit
  head -c 8 /dev/zero
  head -c 4096 /dev/zero | tr '\0' 'V'
}

{ le16 $((64 + 4096 - 1)); region 4096; answer 64; answer 16; answer 28; } > "$out/song"
{ le16 $((64 + 4096 - 1)); region 70000; answer 64; answer 16; answer 28; } > "$out/too-much"
{ le16 $((64 + 4096 - 1)); region 16; answer 4000000000; answer 60000; answer 0; } > "$out/outside"
