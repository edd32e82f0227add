#!/usr/bin/env bash
# Seeds for report_formula_fuzz: selection formulas of the shapes the song reports build (the
# first line), each followed by field values for the rows it is tested against.
# Usage: report_formula_fuzz.sh CORPUS_DIR
set -euo pipefail
. "$(dirname "$0")/common.sh"
printf '\nSong\n' > "$out/empty"
printf "{Songs.SongName} like '*Love*'\nLove Song\nsomething else\n" > "$out/like"
printf "{Songs.SongArtist} like 'A?[b-d]#*'\nAbc1 Band\n" > "$out/wildcards"
printf "{Songs.SongTypeCode} = 'HOUSE' and {Songs.SongBPM} > 120\nhouse\n128.5\n" > "$out/and"
printf "{Songs.SongBPM} in 120 to 130 AND {Songs.SongID} < 1000\n125\n42\n" > "$out/range"
printf "{Songs.SongTypeCode} in ['HOUSE', 'TECHNO', 'It''s']\nIt's\n" > "$out/list"
printf "{Songs.SongID} = 42\n42\n" > "$out/number"
printf "{Songs.SongName} = 'O''Brien''s'\nO'Brien's\n" > "$out/apostrophes"
printf "{Songs.SongName} like '[!a-c]*' and {Songs.SongCompression} = ' '\nzed\n \n" > "$out/negated-set"
printf "{Songs.SongName like 'x'\n" > "$out/unclosed-field"
printf "{Songs.SongName} in [\n" > "$out/unclosed-list"
