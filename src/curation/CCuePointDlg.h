// The cue point editor of a song stored as a WAVE file (compressed or not): "Set Cue Points".
// Positions are milliseconds from the start of the file, played through the wave device.
#pragma once

#include "curation/CCueEditorDlg.h"

namespace vx {

class CCuePointDlg : public CCueEditorDlg {
  Q_OBJECT
 public:
  CCuePointDlg(dao::DaoDatabase& db, std::int32_t songId, const QString& songName,
               const std::string& filePath, QWidget* parent = nullptr);

 protected:
  void StartSong(bool reopen) override;

 private:
  std::string filePath_;
};

}  // namespace vx
