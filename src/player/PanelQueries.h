// The library reads of the song chooser and the control panel: song types, the lines of a
// song list, playlist names and the lines of a playlist. All run read-only on the
// user-interface thread; database failures arrive as dao::DaoException.
#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>
#include <string>
#include <vector>

namespace vx::dao {
class DaoDatabase;
}

namespace vx::player {

// Lines of a list with the SongID kept for each line, index for index.
struct SongLines {
  QStringList lines;
  std::vector<std::int32_t> songIds;
};

// Every SongTypeCode of SongType in code order.
std::vector<std::string> ReadSongTypeCodes(dao::DaoDatabase& db);

// "[%06.2f] %s (%s)" (SongBPM, SongName, SongArtist) for every row of a statement over Songs,
// in the statement's order.
SongLines ReadChooserSongs(dao::DaoDatabase& db, const std::string& statement);

// Every PlaylistName of Playlist in name order.
std::vector<std::string> ReadPlaylistNames(dao::DaoDatabase& db);

// The entries of one playlist in PlaylistSequenceNum order: "%02d: %s (%s)" (sequence number,
// SongName, SongArtist), or "%02d: NO SONG INFO" when the song is no longer in the library.
SongLines ReadPlaylistEntries(dao::DaoDatabase& db, const std::string& playlistName);

}  // namespace vx::player
