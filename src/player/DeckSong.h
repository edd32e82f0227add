// What a WAV deck knows of the song it loads: the song's row, its file's format and data
// chunk, and its preset cue points as byte offsets into the data, in CueNumber order.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/riff/WaveFile.h"

namespace vx::dao {
class DaoDatabase;
}

namespace vx::player {

struct DeckCue {
  std::uint32_t byteOffset = 0;
  std::string description;
};

struct DeckSong {
  std::int32_t songId = 0;
  std::string name;
  std::string artist;
  std::string attributes;
  std::string typeCode;
  double bpm = 0;
  std::string compression;

  riff::WaveFormat format;      // of the song's file
  std::uint32_t dataSize = 0;   // the sample bytes present (the stated size, cut at the end)
  std::uint32_t dataStart = 0;

  std::vector<DeckCue> cues;

  // Whole seconds of the data.
  std::uint32_t Seconds() const {
    return format.avgBytesPerSec ? dataSize / format.avgBytesPerSec : 0;
  }
  std::vector<std::uint32_t> CueOffsets() const;
};

// Reads the song's file "<songsFolder>/Song%010u.Wav", its Songs row and its CueList rows.
// Throws an int code when the file cannot be read or has no usable format (1), or the row
// is missing (2); database failures throw their DaoException.
DeckSong ReadDeckSong(dao::DaoDatabase& db, const std::string& songsFolder, std::int32_t songId);

}  // namespace vx::player
