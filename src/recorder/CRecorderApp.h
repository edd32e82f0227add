// The recorder's application object: from process start to the main window and back.
// It takes the single-instance lock, finds and opens the library, checks its version, takes
// the device inventory with its media control wrapper, runs the main window modally, and after
// it closes hands monthly maintenance to the administrator. It owns the database and the
// media control wrapper for the whole run.
#pragma once

#include <QString>

#include <ctime>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "cd/CMciDevice.h"
#include "platform/dao/DaoDatabase.h"
#include "platform/instance/InstanceLock.h"
#include "platform/report/CReportEngine.h"

namespace vx {

// What the recorder needs to know of the machine's devices at start.
struct RecorderInventory {
  int waveInputs = 0;
  std::vector<char> cdLetters;  // in inventory order
  // Technology code of each MIDI output as its capabilities report it; -1 when they cannot
  // be read.
  std::vector<int> midiTechnologies;
  // One line per MIDI output, "%u, %s, %s" (index, name, technology), as Options and the
  // technical report list them.
  std::vector<std::string> midiOutputs;
};

class CRecorderApp {
 public:
  // Everything the outside world supplies; tests replace what they need.
  struct Environment {
    // The media control wrapper the recorder keeps for its whole run (the machine's own
    // when not given), and the inventory taken with it at start (by default from it).
    std::function<std::unique_ptr<CMciDevice>()> makeMciDevice;
    std::function<RecorderInventory()> takeInventory;
    std::function<void(CRecorderApp&)> runMainWindow;
    std::function<std::time_t()> now;
    std::function<void(const std::string& program, const std::vector<std::string>& args)>
        startAdministrator;
  };

  explicit CRecorderApp(Environment environment);
  ~CRecorderApp();
  CRecorderApp(const CRecorderApp&) = delete;
  CRecorderApp& operator=(const CRecorderApp&) = delete;

  // Start-up, main window, maintenance check, exit. Answers the process exit code.
  int Run();

  const QString& ApplicationFolder() const { return applicationFolder_; }
  const QString& LibraryFolder() const { return libraryFolder_; }
  dao::DaoDatabase& Database() { return database_; }
  // The report engine session, open from start-up to exit.
  report::CReportEngine& ReportEngine() { return reportEngine_; }
  const RecorderInventory& Inventory() const { return inventory_; }
  // The one media control wrapper of the recorder, made at start; null before.
  CMciDevice* MciDevice() const { return mci_.get(); }
  int NumWaveInputs() const { return inventory_.waveInputs; }
  int NumCdDrives() const { return static_cast<int>(inventory_.cdLetters.size()); }
  char CdDriveLetter() const { return cdDriveLetter_; }
  int MidiDevice() const { return midiDevice_; }
  unsigned char MidiInstrument() const { return midiInstrument_; }

  // The MIDI output taken when none was chosen: the first square-wave, FM or generic
  // synthesizer (technology 4, 3, 2), else device 0.
  static int DefaultMidiDevice(const std::vector<int>& technologies);
  // Takes the inventory on the wrapper and reads it out.
  static RecorderInventory InventoryOf(CMciDevice& mci);

 private:
  bool StartUp();
  bool LocateLibrary();
  bool OpenLibrary();
  void ChooseDevices();
  void MaintenanceCheck();
  void ExitInstance();

  Environment env_;
  InstanceLock lock_;
  QString applicationFolder_;
  QString libraryFolder_;
  dao::DaoDatabase database_;
  report::CReportEngine reportEngine_;
  RecorderInventory inventory_;
  std::unique_ptr<CMciDevice> mci_;
  char cdDriveLetter_ = ' ';
  int midiDevice_ = -1;
  unsigned char midiInstrument_ = 37;
};

}  // namespace vx
