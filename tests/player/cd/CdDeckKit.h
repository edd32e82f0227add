// The CD deck tests' machine: virtual wave outputs (tapes in the test folder) and one virtual
// CD tray holding a disc of tones, with the process's wave device list rebuilt for it and
// restored afterwards; a library to log tracks into; a scripted person.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "PlayerTestKit.h"
#include "cd/ToneDisc.h"
#include "platform/mci/MciSession.h"
#include "platform/wave/WaveTestSupport.h"
#include "player/PlayerHost.h"
#include "player/cd/CCdPlayerDlg.h"
#include "support/ScriptedUi.h"

namespace vx::player::test {

class CdMachine {
 public:
  CdMachine(int outputs, const char* speed);
  ~CdMachine();

  std::string Tape(int output) const;
  const std::string& Tray() const { return tray_; }
  // Opens or closes the tray by hand (its "open" marker).
  void SetTrayOpen(bool open) const;
  // The identity the media layer gives the disc in the tray.
  std::string DiscIdentity() const;

 private:
  std::string tray_;
  wave::test::ScopedEnv devices_;
  wave::test::ScopedEnv speed_;
};

// A host that records the key help it was asked for.
class HelpHost : public PlayerHost {
 public:
  CWavPlayerDlg* WavDeck(int) const override { return nullptr; }
  std::int32_t HotListEntry(int) const override { return 0; }
  void ShowHelp(QWidget*, const QString& title, const QString& text) override {
    helpTitle = title;
    helpText = text;
  }
  void Select(QWidget* window) override { window->setFocus(); }

  QString helpTitle, helpText;
};

// Logs track `track` of the disc into the library as song `songId` ('C', SongCdId, BPM 128,
// attributes "ATTR"), with cue rows described "CUE 1", "CUE 2", ...
void LogTrack(TestLibrary& library, const std::string& identity, int track, std::int32_t songId,
              const std::string& name, const std::vector<std::string>& cues = {});

// The device's position as CD frames.
long DevicePosition(const CCdPlayerDlg& deck);
// The device's mode word.
std::string DeviceMode(const CCdPlayerDlg& deck);

}  // namespace vx::player::test
