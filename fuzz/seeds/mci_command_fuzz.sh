#!/usr/bin/env bash
# Seeds for mci_command_fuzz: command sequences as the programs send them, one command per
# line; a wave file is open as "waverec" before each input runs.
# Usage: mci_command_fuzz.sh CORPUS_DIR
set -euo pipefail
. "$(dirname "$0")/common.sh"
printf 'status waverec mode\nstatus waverec length\nstatus waverec position\n' > "$out/status"
printf 'status waverec format tag\nstatus waverec samplespersec\nstatus waverec bitspersample\n' \
  > "$out/format"
printf 'set waverec time format ms\nseek waverec to 100\nplay waverec\nstop waverec\n' > "$out/ms"
printf 'set waverec time format msf\nseek waverec to 00:00:10\nplay waverec from 00:00:01 to 00:00:05\n' \
  > "$out/msf"
printf 'set waverec time format tmsf\nseek waverec to start\nseek waverec to end\n' > "$out/tmsf"
printf 'play waverec wait\npause waverec\nplay waverec notify\nclose waverec\nstatus waverec mode\n' \
  > "$out/flags"
printf 'open "waveaudio!/nonexistent file.wav" alias other\nsysinfo waveaudio quantity\n' > "$out/open"
printf 'info waverec identity\nstatus waverec length track 3\nset waverec door open\n' > "$out/cd-words"
printf 'open D: type cdaudio alias cdplay shareable\nstatus cdplay mode\nclose cdplay\n' > "$out/cd"
printf 'seek waverec to 836587032821295\nseek waverec to 99999999999999999999999\n' > "$out/huge"
printf 'status "waverec\nplay\n\n"\n' > "$out/quotes"
