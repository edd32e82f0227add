// The "Options" dialog: which CD-ROM drive and MIDI output the recorder uses and whether
// tips show at start-up. OK writes Recorder/CdRomDrive, Recorder/MidiDevice and Tip/StartUp
// and keeps the choice for the caller to read; Cancel changes nothing.
#pragma once

#include <QDialog>

#include "recorder/CRecorderApp.h"

class QCheckBox;
class QComboBox;

namespace vx {

class COptionsDlg : public QDialog {
  Q_OBJECT
 public:
  // cdDriveLetter ' ' and midiDevice -1 mean none chosen.
  COptionsDlg(const RecorderInventory& inventory, char cdDriveLetter, int midiDevice,
              QWidget* parent = nullptr);

  // The choice after OK.
  char CdDriveLetter() const { return cdDriveLetter_; }
  int MidiDevice() const { return midiDevice_; }

  // Controls by object name: "cdRomList", "midiList", "showTips".
 public slots:
  void OnOK();

 private:
  QComboBox* cdRomList_;
  QComboBox* midiList_;
  QCheckBox* showTips_;
  char cdDriveLetter_;
  int midiDevice_;
};

}  // namespace vx
