// The virtual MIDI output: writes every short message to a log file, one line each, so that
// tests and headless runs can see what a synthesizer would have played.
//
// Log lines (decimal milliseconds of device time since the device was opened, then upper-case
// hex):
//   "<ms> <message>"         a short message, e.g. "12 007F2599"
//   "<ms> volume <volume>"   a volume change, e.g. "40 volume FF00FF00"
// Device time runs VELUMIX_SPEED times faster than real time. The log is rewritten when the
// device is opened for the first time in the process and appended to on later opens.
#pragma once

#include <chrono>
#include <cstdio>
#include <memory>
#include <string>

#include "platform/midi/MidiOut.h"

namespace vx::midi {

inline constexpr const char* kVirtualMidiOutName = "Virtual MIDI Output";

class VirtualMidiOut : public MidiOut {
 public:
  // Opens the log; nullptr (and result = kError) when it cannot be written.
  static std::unique_ptr<VirtualMidiOut> Open(const std::string& logPath, double speed,
                                              unsigned& result);
  ~VirtualMidiOut() override;

 protected:
  unsigned Send(const std::uint8_t* bytes, std::size_t count, std::uint32_t message) override;
  void Release() override;
  bool HasVolume() const override { return true; }
  void VolumeChanged(std::uint32_t volume) override;

 private:
  explicit VirtualMidiOut(double speed);
  long long DeviceMilliseconds() const;

  std::FILE* log_ = nullptr;
  double speed_;
  std::chrono::steady_clock::time_point opened_;
};

}  // namespace vx::midi
