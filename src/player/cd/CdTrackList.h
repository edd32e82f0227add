// What the CD deck knows of the disc: one record per track, in track order, with the names,
// BPM and cue points of the tracks that were logged into the library. Positions are CD times:
// frames (75 a second) of the absolute disc time, as the device reports them in the
// minutes-seconds-frames time format.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/mci/MciSession.h"

namespace vx::dao {
class DaoDatabase;
}

namespace vx::player {

inline constexpr long kCdFramesPerSecond = 75;

// A packed minutes-seconds-frames value (m | s << 8 | f << 16) as frames, and back.
long CdFramesOfMsf(std::uint32_t msf);
std::uint32_t CdMsfOfFrames(long frames);
// "MM:SS" of a CD time (the deck shows the first five characters of "MM:SS:FF").
std::string CdMinutesSeconds(long frames);

struct CdCue {
  long offset = 0;  // frames from the track start
  std::string description;
};

struct CdTrack {
  long start = 0;   // CD time
  long length = 0;  // frames
  bool logged = false;
  bool audio = true;
  std::string title;
  std::string artist;
  std::string third;  // the song's attributes, for a logged track
  float bpm = 0;
  std::vector<CdCue> cues;

  // The first frame after the track (the next track's first frame).
  long End() const { return start + length; }
  // The last frame of the track.
  long Last() const { return length > 0 ? End() - 1 : start; }
};

struct CdTrackList {
  std::vector<CdTrack> tracks;
  int loggedCount = 0;
  int current = 0;  // 1-based; 0 while there are no tracks

  int Count() const { return static_cast<int>(tracks.size()); }
  const CdTrack& Track(int number) const;
  const CdTrack& Current() const { return Track(current); }
  // The track containing a position: the last track whose start is not after it (track 1
  // for a position before the first track).
  int TrackAt(long position) const;
  // The previous / next track (logged ones only when loggedOnly); 0 when there is none.
  int Previous(int from, bool loggedOnly) const;
  int Next(int from, bool loggedOnly) const;
};

// Builds the list from the open device (time format minutes-seconds-frames) and the library's
// songs logged from this disc (SongCdId = the disc's identity). A track logged first becomes
// current; track 1 when none is. Answers an MciError code; database failures throw.
unsigned BuildCdTrackList(mci::MciSession& session, mci::MciDeviceId device,
                          dao::DaoDatabase* database, CdTrackList& list);

}  // namespace vx::player
