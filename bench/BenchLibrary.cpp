#include "BenchLibrary.h"

#include <filesystem>

#include "admin/LibraryCreator.h"
#include "platform/dao/DaoDatabase.h"

namespace vx::bench {

const std::string& BenchLibraryFile() {
  static const std::string file = [] {
    const std::string folder = std::filesystem::temp_directory_path() / "vxbench-library";
    const std::string path = folder + "/Velumix.vxl";
    if (std::filesystem::exists(path)) return path;
    std::filesystem::remove_all(folder);
    vx::admin::CreateLibrary(folder);
    vx::dao::DaoDatabase db;
    db.Open(path);
    db.BeginTrans();
    // Names: one in 50 contains LOVE; codes: mostly PCM, some CD, ADPCM and MP3.
    db.Execute(R"SQL(
      WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 100000)
      INSERT INTO Songs (SongID, SongTypeCode, SongName, SongArtist, SongAlbumName, SongLabel,
                         SongDate, SongRecordDate, SongBPM, SongAttributes, SongLength,
                         SongCdId, SongCdTrack, SongCDDB, SongCompression, SongComments)
      SELECT i, 'T' || (i % 12),
             CASE WHEN i % 50 = 0 THEN 'ENDLESS LOVE ' || i ELSE 'SONG NUMBER ' || i END,
             'ARTIST ' || (i % 3000), 'ALBUM ' || (i % 9000), 'LABEL ' || (i % 200),
             '1990-01-01 00:00:00', '2000-02-01 00:00:00', 90 + (i % 60), 'PARTY DANCE',
             '03:45.123', 'CD' || (i % 5000), i % 20, i,
             CASE i % 10 WHEN 0 THEN 'C' WHEN 1 THEN 'A' WHEN 2 THEN 'M' ELSE ' ' END,
             'A COMMENT OF SOME LENGTH FOR SONG ' || i
      FROM n;
      WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n WHERE i < 299999)
      INSERT INTO CueList (CueDescription, CueNumber, CueOffset, SongID)
      SELECT 'CUE ' || (i % 3 + 1), i % 3 + 1, '00:1' || (i % 3) || '.000', i / 3 + 1 FROM n;
      WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 1000)
      INSERT INTO Playlist (PlaylistName, PlaylistDate, CurrentSeqNum, PlaylistComment)
      SELECT 'PLAYLIST ' || i, '2000-02-01 00:00:00', 1, '' FROM n;
      WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n WHERE i < 19999)
      INSERT INTO PlaylistDetail (PlaylistName, PlaylistSequenceNum, SongID, PlaylistOffset)
      SELECT 'PLAYLIST ' || (i / 20 + 1), i % 20 + 1, (i * 7) % 100000 + 1, '' FROM n;
    )SQL");
    db.CommitTrans();
    db.Execute("PRAGMA wal_checkpoint(TRUNCATE)");
    return path;
  }();
  return file;
}

}  // namespace vx::bench
