// What the main window copies from the application object when it opens: folders, the open
// database, the device inventory, the chosen CD drive and MIDI settings, and the media
// control wrapper. The window keeps its own copies of the CD drive letter and MIDI device,
// which Options changes.
#pragma once

#include <QString>

#include "recorder/CRecorderApp.h"

namespace vx {

struct RecorderState {
  QString applicationFolder;
  QString libraryFolder;
  dao::DaoDatabase* database = nullptr;  // owned by the application object
  RecorderInventory inventory;
  char cdDriveLetter = ' ';
  int midiDevice = -1;
  unsigned char midiInstrument = 37;
  report::CReportEngine* reportEngine = nullptr;  // owned by the application object
  CMciDevice* mci = nullptr;                      // the application object's, for its life

  int NumWaveInputs() const { return inventory.waveInputs; }
  int NumCdDrives() const { return static_cast<int>(inventory.cdLetters.size()); }

  static RecorderState FromApp(CRecorderApp& app) {
    return {app.ApplicationFolder(), app.LibraryFolder(), &app.Database(), app.Inventory(),
            app.CdDriveLetter(),     app.MidiDevice(),    app.MidiInstrument(),
            &app.ReportEngine(),     app.MciDevice()};
  }
};

}  // namespace vx
