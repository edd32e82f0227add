// The recorder's media control wrapper: formats a command text for the CD alias "cdplay"
// (selector 0) or the wave alias "waverec" (selector 1), sends it to the media control
// session, returns the reply, and on failure keeps "<error text> CMD: <command>" for the
// caller to show. It also takes the inventory of the machine's devices (wave count, CD
// drive letters, MIDI output list) and opens and closes the metronome's MIDI output.
// Nothing is shown to the user except by ShowLastError; no operation throws.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/mci/MciSession.h"
#include "platform/midi/MidiOut.h"
#include "platform/midi/MidiOutDevices.h"

namespace vx {

class CMciDevice {
 public:
  static constexpr int kCd = 0;    // device selector: the CD alias
  static constexpr int kWave = 1;  // device selector: the wave alias
  static constexpr std::size_t kReplySize = 81;  // reply buffer, terminating NUL included

  // Where the device facts come from; tests describe a machine of their own.
  struct Platform {
    mci::MciSession* session = nullptr;
    // Letters of the CD-ROM drives, in drive order.
    std::function<std::string()> cdDriveLetters;
    std::function<unsigned()> midiOutCount;
    std::function<bool(unsigned device, midi::MidiOutCaps& caps)> midiOutCaps;
    std::function<unsigned(unsigned device, std::unique_ptr<midi::MidiOut>& out)> openMidiOut;

    // This machine: the process's session, the drive inventory and MIDI outputs of the
    // device configuration in force.
    static Platform System();
  };

  CMciDevice();
  explicit CMciDevice(Platform platform);
  ~CMciDevice();
  CMciDevice(const CMciDevice&) = delete;
  CMciDevice& operator=(const CMciDevice&) = delete;

  bool OpenCd(char driveLetter);
  bool OpenWaveFile(const std::string& path);
  bool CloseDevice(int selector);
  bool SetDoor(bool closed);
  bool PlayDevice(int selector);
  bool StopDevice(int selector);
  bool SeekDevice(const std::string& position, int selector);
  bool SetTimeFormat(const std::string& format, int selector);
  bool GetPosition(std::string& reply, int selector);
  // The length of track `track` when it is 0 or more, else of the whole medium.
  bool GetLength(std::string& reply, int selector, int track);
  bool GetIdentity(std::string& reply);
  bool QueryStatus(const std::string& item, std::string& reply, int selector);
  // The session's id of "cdplay"; 0 when it is not open.
  mci::MciDeviceId GetCdDeviceId() const;

  std::string GetLastErrorText() const { return lastErrorText_; }
  unsigned GetLastErrorCode() const { return lastErrorCode_; }
  // The last error text in a message box with the exclamation icon.
  void ShowLastError() const;

  // Wave device count, CD drives and the MIDI output list; the wave count is kept when it
  // cannot be asked.
  void TakeInventory();
  // The CD drive step of TakeInventory alone.
  void ListCdDrives();

  bool OpenMidiOut(unsigned device);
  bool CloseMidiOut();

  unsigned NumWaveDevices() const { return waveDeviceCount_; }
  unsigned NumCdDrives() const { return cdDriveCount_; }
  std::string CdDriveLetters() const { return cdDriveLetters_; }
  unsigned NumMidiOutputs() const { return midiOutputCount_; }
  const std::vector<std::string>& MidiOutputs() const { return midiOutputs_; }
  // Technology code of each MIDI output by device number; -1 where the capabilities
  // could not be read.
  const std::vector<int>& MidiTechnologies() const { return midiTechnologies_; }
  midi::MidiOut* MidiOutHandle() const { return midiOut_.get(); }

  // The name of a MIDI technology code as the MIDI list shows it.
  static const char* MidiTechnologyName(int technology);

 private:
  bool Send(const std::string& command, std::string* reply);

  Platform platform_;
  unsigned waveDeviceCount_ = 0;
  unsigned cdDriveCount_ = 0;
  std::string cdDriveLetters_;
  unsigned midiOutputCount_ = 0;
  std::vector<std::string> midiOutputs_;
  std::vector<int> midiTechnologies_;
  std::string lastErrorText_;
  unsigned lastErrorCode_ = 0;
  std::unique_ptr<midi::MidiOut> midiOut_;
};

}  // namespace vx
