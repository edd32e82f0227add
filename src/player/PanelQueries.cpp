#include "player/PanelQueries.h"

#include "library/CPlaylist.h"
#include "library/CPlaylistDtl.h"
#include "library/CSongRecordset.h"
#include "library/CSongTypeRecordSet.h"
#include "library/SqlText.h"
#include "player/PlayerText.h"

namespace vx::player {

std::vector<std::string> ReadSongTypeCodes(dao::DaoDatabase& db) {
  CSongTypeRecordSet types(db);
  types.SetSort("SongTypeCode");
  types.Open(dao::OpenType::Snapshot, {}, dao::kReadOnly);
  std::vector<std::string> codes;
  for (; !types.IsEOF(); types.MoveNext()) codes.push_back(types.SongTypeCode);
  return codes;
}

SongLines ReadChooserSongs(dao::DaoDatabase& db, const std::string& statement) {
  CSongRecordset songs(db);
  songs.Open(dao::OpenType::Snapshot, statement, dao::kReadOnly | dao::kForwardOnly);
  SongLines result;
  for (; !songs.IsEOF(); songs.MoveNext()) {
    result.lines.append(QString::asprintf(text::kChooserEntry, songs.SongBPM,
                                          songs.SongName.c_str(), songs.SongArtist.c_str()));
    result.songIds.push_back(songs.SongID);
  }
  return result;
}

std::vector<std::string> ReadPlaylistNames(dao::DaoDatabase& db) {
  CPlaylist playlists(db);
  playlists.SetSort("PlaylistName");
  playlists.Open(dao::OpenType::Snapshot, {}, dao::kReadOnly);
  std::vector<std::string> names;
  for (; !playlists.IsEOF(); playlists.MoveNext()) names.push_back(playlists.PlaylistName);
  return names;
}

SongLines ReadPlaylistEntries(dao::DaoDatabase& db, const std::string& playlistName) {
  CPlaylistDtl entries(db);
  entries.SetFilter("PlaylistName = '" + SqlQuote(playlistName) + "'");
  entries.SetSort("PlaylistSequenceNum");
  entries.Open(dao::OpenType::Snapshot, {}, dao::kReadOnly);
  SongLines result;
  for (; !entries.IsEOF(); entries.MoveNext()) {
    const int sequence = entries.PlaylistSequenceNum;
    CSongRecordset song(db);
    song.SetFilter("SongID = " + std::to_string(entries.SongID));
    song.Open(dao::OpenType::Snapshot, {}, dao::kReadOnly);
    result.lines.append(song.IsEOF()
                            ? QString::asprintf(text::kPanelNoSongInfo, sequence)
                            : QString::asprintf(text::kPanelEntry, sequence, song.SongName.c_str(),
                                                song.SongArtist.c_str()));
    result.songIds.push_back(entries.SongID);
  }
  return result;
}

}  // namespace vx::player
