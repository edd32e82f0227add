// The cue point editor of a track of an audio CD: "Set Cue Points for CD Track". Positions
// are CD frames from the start of the disc, played through the CD device; the song's disc
// must be in the drive, and the transport waits until it is.
#pragma once

#include "curation/CCueEditorDlg.h"

namespace vx {

class CCdCuePointDlg : public CCueEditorDlg {
  Q_OBJECT
 public:
  struct Track {
    std::string discIdentity;  // SongCdId
    QString songName;
    QString albumName;
    int trackNumber = 0;
    char driveLetter = ' ';
  };
  CCdCuePointDlg(dao::DaoDatabase& db, std::int32_t songId, const Track& track,
                 QWidget* parent = nullptr);

 protected:
  void StartSong(bool reopen) override;

 private:
  Track track_;
};

}  // namespace vx
