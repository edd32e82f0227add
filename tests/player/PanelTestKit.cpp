#include "PanelTestKit.h"

#include "library/SqlText.h"
#include "support/TestFolder.h"

namespace vx::player::test {
namespace {

std::string Quoted(const std::string& text) { return "'" + SqlQuote(text) + "'"; }

}  // namespace

PanelLibrary::PanelLibrary() { db_.Open(vx::test::MakeTestLibrary() + "/Velumix.vxl"); }

void PanelLibrary::AddSong(std::int32_t id, const std::string& name, const std::string& artist,
                           const std::string& type, double bpm, char compression) {
  db_.Execute("INSERT INTO Songs (SongID, SongName, SongArtist, SongTypeCode, SongBPM, "
              "SongAttributes, SongCompression) VALUES (" +
              std::to_string(id) + ", " + Quoted(name) + ", " + Quoted(artist) + ", " +
              Quoted(type) + ", " + std::to_string(bpm) + ", 'PARTY', " +
              Quoted(std::string(1, compression)) + ")");
}

void PanelLibrary::AddType(const std::string& code) {
  db_.Execute("INSERT INTO SongType (SongTypeCode, SongTypeDescription) VALUES (" +
              Quoted(code) + ", 'TYPE')");
}

void AddPlaylist(dao::DaoDatabase& db, const std::string& name,
                 const std::vector<std::int32_t>& songIds) {
  db.Execute("INSERT INTO Playlist (PlaylistName, PlaylistDate, CurrentSeqNum, PlaylistComment) "
              "VALUES (" + Quoted(name) + ", '2000-02-01 00:00:00', 1, '')");
  // Rows are written in reverse so the panel's order can only come from the sequence number.
  for (std::size_t i = songIds.size(); i-- > 0;) {
    db.Execute("INSERT INTO PlaylistDetail (PlaylistName, PlaylistSequenceNum, SongID, "
                "PlaylistOffset) VALUES (" + Quoted(name) + ", " + std::to_string(i + 1) + ", " +
                std::to_string(songIds[i]) + ", '')");
  }
}

bool FakeDecks::LoadSong(int index, std::int32_t songId) {
  loads.emplace_back(index, songId);
  if (playable_.contains(songId)) return true;
  ++failures[index];
  return false;
}

}  // namespace vx::player::test
