#include "player/DeckSong.h"

#include <algorithm>

#include "library/CCueListRec.h"
#include "library/CSongRecordset.h"
#include "library/SongStore.h"
#include "platform/riff/WaveFile.h"
#include "player/DeckMath.h"

namespace vx::player {

std::vector<std::uint32_t> DeckSong::CueOffsets() const {
  std::vector<std::uint32_t> offsets;
  for (const DeckCue& cue : cues) offsets.push_back(cue.byteOffset);
  return offsets;
}

DeckSong ReadDeckSong(dao::DaoDatabase& db, const std::string& songsFolder,
                      std::int32_t songId) {
  DeckSong song;
  song.songId = songId;
  riff::WaveLayout layout;
  if (songId <= 0 ||
      riff::ReadWaveLayout(SongFileNameInFolder(songsFolder, static_cast<std::uint32_t>(songId)),
                           layout) != riff::WaveError::kNone ||
      layout.format.avgBytesPerSec == 0) {
    throw 1;
  }
  song.format = layout.format;
  song.dataSize = static_cast<std::uint32_t>(
      std::min<std::uint64_t>(layout.AvailableDataBytes(), UINT32_MAX));
  song.dataStart = static_cast<std::uint32_t>(layout.dataOffset);

  CSongRecordset row(db);
  row.SetFilter("SongID = " + std::to_string(songId));
  row.Open(dao::OpenType::Snapshot, {}, dao::kReadOnly);
  if (row.IsEOF()) throw 2;
  song.name = row.SongName;
  song.artist = row.SongArtist;
  song.attributes = row.SongAttributes;
  song.typeCode = row.SongTypeCode;
  song.bpm = row.SongBPM;
  song.compression = row.SongCompression;

  CCueListRec cues(db);
  cues.SetFilter("SongID = " + std::to_string(songId));
  cues.SetSort("CueNumber");
  cues.Open(dao::OpenType::Snapshot, {}, dao::kReadOnly);
  for (; !cues.IsEOF(); cues.MoveNext()) {
    song.cues.push_back(
        {CueByteOffset(cues.CueOffset, song.format.avgBytesPerSec), cues.CueDescription});
  }
  return song;
}

}  // namespace vx::player
