// The song editor's tools as the curation dialogs: "<< &Set" runs the BPM counter and
// "Edit C&ue List" the cue point editor of the song's medium (CCdCuePointDlg for a track of
// an audio CD, CCuePointDlg for a song stored as a file).
#pragma once

#include "curation/SongEditorTools.h"

namespace vx {

class CurationTools : public SongEditorTools {
 public:
  std::optional<double> CountBpm(QWidget* parent, const BpmRequest& request) override;
  void EditCueList(QWidget* parent, dao::DaoDatabase& database,
                   const CueListRequest& request) override;
};

}  // namespace vx
