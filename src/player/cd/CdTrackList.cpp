#include "player/cd/CdTrackList.h"

#include <algorithm>
#include <cassert>
#include <cstdio>
#include <memory>

#include "library/CCueListRec.h"
#include "library/CSongRecordset.h"
#include "library/CueOffset.h"
#include "library/SqlText.h"
#include "platform/dao/DaoDatabase.h"
#include "platform/mci/MciErrors.h"
#include "player/PlayerText.h"

namespace vx::player {

long CdFramesOfMsf(std::uint32_t msf) {
  const long minutes = static_cast<long>(msf & 0xFF);
  const long seconds = static_cast<long>((msf >> 8) & 0xFF);
  const long frames = static_cast<long>((msf >> 16) & 0xFF);
  return (minutes * 60 + seconds) * kCdFramesPerSecond + frames;
}

std::uint32_t CdMsfOfFrames(long frames) {
  if (frames < 0) frames = 0;
  const auto minutes = static_cast<std::uint32_t>(frames / (60 * kCdFramesPerSecond));
  const auto seconds = static_cast<std::uint32_t>(frames / kCdFramesPerSecond % 60);
  const auto rest = static_cast<std::uint32_t>(frames % kCdFramesPerSecond);
  return (minutes & 0xFF) | seconds << 8 | rest << 16;
}

std::string CdMinutesSeconds(long frames) {
  if (frames < 0) frames = 0;
  char text[32];
  std::snprintf(text, sizeof text, text::kTimeFormat,
                static_cast<int>(frames / (60 * kCdFramesPerSecond)),
                static_cast<int>(frames / kCdFramesPerSecond % 60));
  return text;
}

const CdTrack& CdTrackList::Track(int number) const {
  assert(number >= 1 && number <= Count());
  return tracks[static_cast<std::size_t>(number - 1)];
}

int CdTrackList::TrackAt(long position) const {
  int found = tracks.empty() ? 0 : 1;
  for (int t = 1; t <= Count(); ++t) {
    if (Track(t).start <= position) found = t;
  }
  return found;
}

int CdTrackList::Previous(int from, bool loggedOnly) const {
  for (int t = from - 1; t >= 1; --t) {
    if (!loggedOnly || Track(t).logged) return t;
  }
  return 0;
}

int CdTrackList::Next(int from, bool loggedOnly) const {
  for (int t = from + 1; t <= Count(); ++t) {
    if (!loggedOnly || Track(t).logged) return t;
  }
  return 0;
}

namespace {

void ReadCues(dao::DaoDatabase& database, std::int32_t songId, CdTrack& track) {
  CCueListRec cues(database);
  cues.SetFilter("SongID = " + std::to_string(songId));
  cues.SetSort("CueNumber");
  cues.Open(dao::OpenType::Snapshot, {}, dao::kReadOnly);
  for (; !cues.IsEOF(); cues.MoveNext()) {
    // A cue whose text cannot be read is left out rather than sending the deck elsewhere.
    const long offset = ParseCueOffset(CueMedium::kCd, cues.CueOffset);
    if (offset < 0) continue;
    track.cues.push_back({offset, cues.CueDescription});
  }
}

}  // namespace

unsigned BuildCdTrackList(mci::MciSession& session, mci::MciDeviceId device,
                          dao::DaoDatabase* database, CdTrackList& list) {
  CdTrackList built;
  int count = 0;
  if (const unsigned rc = session.StatusNumberOfTracks(device, count); rc != mci::kMciOk) {
    return rc;
  }
  count = std::clamp(count, 0, 255);
  std::string identity;
  if (const unsigned rc = session.InfoIdentity(device, identity); rc != mci::kMciOk) return rc;

  std::unique_ptr<CSongRecordset> songs;
  if (database != nullptr && database->IsOpen()) {
    songs = std::make_unique<CSongRecordset>(*database);
    songs->SetFilter("SongCdId = '" + SqlQuote(identity) + "'");
    songs->SetSort("SongCdTrack");
    songs->Open(dao::OpenType::Snapshot, {}, dao::kReadOnly);
  }

  for (int t = 1; t <= count; ++t) {
    CdTrack track;
    if (const unsigned rc = session.StatusTrackIsAudio(device, t, track.audio); rc != mci::kMciOk) {
      return rc;
    }
    bool found = false;
    if (songs) {
      for (songs->MoveFirst(); !songs->IsEOF(); songs->MoveNext()) {
        if (songs->SongCdTrack == t) {
          found = true;
          break;
        }
      }
    }
    if (found) {
      ++built.loggedCount;
      track.logged = true;
      track.title = songs->SongName;
      track.artist = songs->SongArtist;
      track.third = songs->SongAttributes;
      track.bpm = static_cast<float>(songs->SongBPM);
      if (built.current == 0) built.current = t;
      ReadCues(*database, songs->SongID, track);
    } else {
      char title[32];
      std::snprintf(title, sizeof title, text::kCdTrackTitle, t);
      track.title = title;
      track.artist = track.audio ? text::kCdUnknownArtist : text::kCdNoAudio;
    }
    std::uint32_t start = 0, length = 0;
    if (const unsigned rc = session.StatusTrackPosition(device, t, start); rc != mci::kMciOk) {
      return rc;
    }
    if (const unsigned rc = session.StatusTrackLength(device, t, length); rc != mci::kMciOk) {
      return rc;
    }
    track.start = CdFramesOfMsf(start);
    track.length = CdFramesOfMsf(length);
    built.tracks.push_back(std::move(track));
  }
  if (built.current == 0 && count > 0) built.current = 1;
  list = std::move(built);
  return mci::kMciOk;
}

}  // namespace vx::player
