#include "curation/CurationTools.h"

#include "curation/CBpmDlg.h"
#include "curation/CCdCuePointDlg.h"
#include "curation/CCuePointDlg.h"
#include "platform/ui/UserInteraction.h"

namespace vx {

std::optional<double> CurationTools::CountBpm(QWidget* parent, const BpmRequest& request) {
  CBpmDlg::Song song;
  song.cd = request.media == 'C';
  song.filePath = request.filePath.toStdString();
  song.name = request.name;
  song.discIdentity = request.cdIdentity.toStdString();
  song.albumName = request.album;
  song.trackNumber = request.cdTrack;
  song.driveLetter = request.cdDriveLetter;
  CBpmDlg dialog(request.bpm, request.midiDevice, request.midiNote, song, parent);
  if (Ui().RunModal(dialog) != QDialog::Accepted) return std::nullopt;
  return dialog.Tempo();
}

void CurationTools::EditCueList(QWidget* parent, dao::DaoDatabase& database,
                                const CueListRequest& request) {
  const auto songId = static_cast<std::int32_t>(request.songId);
  if (request.media == 'C') {
    CCdCuePointDlg::Track track;
    track.discIdentity = request.cdIdentity.toStdString();
    track.songName = request.name;
    track.albumName = request.album;
    track.trackNumber = request.cdTrack;
    track.driveLetter = request.cdDriveLetter;
    CCdCuePointDlg dialog(database, songId, track, parent);
    Ui().RunModal(dialog);
  } else {
    CCuePointDlg dialog(database, songId, request.name, request.filePath.toStdString(), parent);
    Ui().RunModal(dialog);
  }
}

}  // namespace vx
