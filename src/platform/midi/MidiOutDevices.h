// The MIDI output devices of this run, numbered from 0: the ALSA sequencer's writable ports,
// or, when VELUMIX_DEVICES is set, only its virtual output (midi=, technology FM synth,
// named "Virtual MIDI Output"); then the "Software Click" (technology software synthesizer),
// which plays on the first wave output and is listed unless VELUMIX_DEVICES names no wave
// output. The list is taken when the object is made.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/devices/DeviceConfig.h"
#include "platform/midi/AlsaMidiOut.h"
#include "platform/midi/MidiOut.h"

namespace vx::midi {

struct MidiOutCaps {
  std::string name;
  int technology = kMidiPort;
};

class MidiOutDevices {
 public:
  explicit MidiOutDevices(const DeviceConfig& config);
  // The list of a virtual-only configuration plus the given real ports (for tests).
  MidiOutDevices(const DeviceConfig& config, std::vector<AlsaPortAddress> realPorts);

  std::size_t Count() const { return devices_.size(); }
  // The capabilities of one device; false when there is no such device.
  bool Caps(unsigned device, MidiOutCaps& caps) const;

  // Opens device number `device`. Answers kOk with `out` set, kBadDeviceId for a number
  // outside the list, or the device's own failure code.
  unsigned Open(unsigned device, std::unique_ptr<MidiOut>& out) const;

 private:
  enum class Kind { kAlsa, kVirtual, kSoftwareClick };
  struct Entry {
    MidiOutCaps caps;
    Kind kind = Kind::kAlsa;
    std::string logPath;       // a virtual output's log
    AlsaPortAddress address;   // a real port
  };

  void AddConfigured(const DeviceConfig& config, std::vector<AlsaPortAddress> realPorts);

  std::vector<Entry> devices_;
  double speed_ = 1.0;
};

}  // namespace vx::midi
