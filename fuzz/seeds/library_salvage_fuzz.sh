#!/usr/bin/env bash
# Seeds for library_salvage_fuzz: small library files (the library's tables, 512-byte pages
# so that trees have several levels), one with rows long enough to overflow, and copies
# with a page overwritten. Usage: library_salvage_fuzz.sh CORPUS_DIR
set -euo pipefail
. "$(dirname "$0")/common.sh"

sqlite3 "$tmp/lib.vxl" <<'SQL'
PRAGMA page_size = 512;
CREATE TABLE Songs (SongID INTEGER PRIMARY KEY, SongTypeCode TEXT, SongName TEXT,
  SongArtist TEXT, SongBPM REAL, SongCompression TEXT, SongComments TEXT);
CREATE INDEX SongsSongTypeCode ON Songs (SongTypeCode);
CREATE TABLE SongType (SongTypeCode TEXT, SongTypeDescription TEXT);
CREATE TABLE VeluParms (ParmName TEXT, ParmValue TEXT);
INSERT INTO VeluParms VALUES ('DatabaseVersion', '2.0');
INSERT INTO SongType VALUES ('HOUSE', 'HOUSE MUSIC'), ('ROCK', 'ROCK');
WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 60)
INSERT INTO Songs SELECT i, 'HOUSE', 'SONG ' || i, 'ARTIST', 120.5, ' ', 'C' FROM n;
SQL
cp "$tmp/lib.vxl" "$out/library"
cp "$tmp/lib.vxl" "$tmp/long.vxl"
sqlite3 "$tmp/long.vxl" "UPDATE Songs SET SongComments = printf('%.1500c', 'x') WHERE SongID < 4"
cp "$tmp/long.vxl" "$out/overflow"
cp "$tmp/lib.vxl" "$out/damaged"
dd if=/dev/zero of="$out/damaged" bs=512 seek=2 count=1 conv=notrunc status=none
head -c 1024 "$tmp/lib.vxl" > "$out/cut"
